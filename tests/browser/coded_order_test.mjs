// The coded order page in Debian's Chromium against a real korvantis --headless on the
// demo city, with the dispatchers' program stand-in assigning a car through the Firebird
// server. Exit 77 (skipped) only when Chromium cannot run.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { alertingPage, clickAndLoad, launchBrowser, runJourney, step } from './journey.mjs';
import { Service } from './service.mjs';

const browser = await launchBrowser();
const service = new Service({ demo: true });
const click = clickAndLoad;

const settings =
  '[SET_FIRMA]\nTELEFON_FIRMA=555-12-12\n' +
  '[DOSTUP]\nPORT_WEB_SERVERA={port}\nZAGRUZKA_REMONT_ROBIT=0\nMAX_KIL_ZEDNAYA=5\nMAIN_TARIF=Стандарт\n' +
  'DOZVIL_POCHATK_ROZR_SUMA=1\nKIL_SPROB_PRORAH=2\nZAGR_NA_PANEL_STVOR_ZAM_ARHIVA_ZAM=1\nMAX_CHAS_KODOVANOGO_ZEDN=30\n' +
  '[SETKLIENT]\nTIMER_REFLESH_DATA_KODOV_ZAM=1\nDAY_NARODZHENYA=З днем народження, Андрію!\nPOZDOROVLENNYA_Z_DNEM_NAROD=1\n' +
  'POKAZ_OSOBIST_POVID_KLIENTU=1\nDELETE_OSOBIST_POVID_AFTEROPENPROGRAM=1\n[DOSTUP_JAVA]\nCLOSE_SERVER=1\n';

await runJourney(browser, service, async () => {
  service.useServer();
  fs.writeFileSync(path.join(service.folder, 'SETTING_KART.INI'), '[KARTA_MISTA]\nLENGTH=100\nLENGTH_TOCHKA=10\n');
  await service.start(settings);  // makes the service database
  await service.stop();
  service.sql("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, TABLE_KLIENT_TELEF, " +
              "TABLE_KLIENT_BAN, TABLE_KLIENT_POVID) VALUES (1, '00102', 'pw', '0671112233', '-', 'Дякуємо за відгук!');");
  service.dispatchQuery('UPDATE KLIENT SET KLIENT_DATA_NARODZENNIA = CURRENT_DATE WHERE KLIENT_NUMBER = 2; COMMIT;');
  await service.start(settings);

  const page = await alertingPage(await browser.newContext());

  await step('the login shows the client panel and the birthday greeting', async () => {
    await page.goto(service.url);
    await page.fill('#IWEdit1', '00102');
    await page.fill('#IWEdit2', 'pw');
    await click(page, '#IWButton2');
    assert.equal(await page.title(), 'Кодовані клієнти');
    assert.equal(await page.textContent('#IWLabel15'), 'Шевчук Андрій Іванович');
    assert.equal(await page.textContent('#IWText1'), 'З днем народження, Андрію!');
    assert.equal(await page.isVisible('#IWText2'), true);  // help first
  });

  await step('points from the address panel and the archive, and a fare', async () => {
    await click(page, '#IWImageButton4');
    await page.fill('#IWEdit1', 'Лесі');
    await page.click('#IWImageButton2');
    await page.waitForSelector('#IWListbox1 option:text-is("Лесі Українки")');
    await page.selectOption('#IWListbox1', { label: 'Лесі Українки' });
    await page.waitForSelector('#IWComboBox4');
    await page.selectOption('#IWComboBox4', { label: '18' });
    await page.click('#IWImageButton11');
    await page.waitForFunction(() => document.querySelector('#IWLabel51').textContent === '[Лесі Українки]{18}');
    await page.selectOption('#IWComboBox6', { label: 'Залізничний вокзал' });
    await page.waitForFunction(() => document.querySelector('#IWLabel52').textContent === 'Залізничний вокзал');
    await click(page, '#IWImageButton8');
    assert.deepEqual(page.alerts.splice(0), ['У Вас ще залишилося [1] спроби прорахунку відстані і суми поїздки.']);
    assert.match(await page.textContent('#IWLabel39'), /^\d+(,\d{1,2})?$/);
    assert.notEqual(await page.textContent('#IWLabel39'), '25');
  });

  await step('two cars place two orders, and the stand-in assigns a car to one', async () => {
    await page.click('.kv-tab-head[data-tab="3"]');
    await page.fill('#IWEdit2', '2');
    await page.click('.kv-tab-head[data-tab="4"]');
    await click(page, '#IWImageButton7');
    assert.equal(await page.locator('#IWGrid1 tbody tr').count(), 2);
    const [first] = service.dispatchQuery('SELECT ZAMOVL_NUMBER FROM ZAMOVLENNIA WHERE ZAMOVL_NOMER_KLIENT = 102;')
      .match(/^\s*\d+\s*$/gm).map(Number);
    service.dispatcher('assign', first, 105);
    await page.waitForFunction(() => document.querySelector('#IWGrid1').textContent.includes('позивний :[105] / авто :[Volkswagen Passat]'));
  });

  await step('the personal message is read and cleared, a complaint sent', async () => {
    await click(page, '#IWImageButton5');
    assert.equal(await page.inputValue('#IWMemo1'), 'Дякуємо за відгук!');
    await click(page, '#IWButton1');
    assert.equal(await page.inputValue('#IWMemo1'), '');
    await page.fill('#IWMemo2', "Водій був ввічливий, дякую! It's fine.");
    await page.selectOption('#IWComboBox2', { label: 'ДИРЕКТОРУ' });
    await click(page, '#IWButton2');
    assert.deepEqual(page.alerts.splice(0), ['Повідомлення успішно відправлено !']);
  });

  await step('the last fare attempt hides the fare button', async () => {
    await click(page, '#IWImageButton4');
    await click(page, '#IWImageButton8');
    assert.deepEqual(page.alerts.splice(0), ['У Вас ще залишилося [0] спроби прорахунку відстані і суми поїздки.']);
    assert.equal(await page.isVisible('#IWImageButton8'), false);
  });
  await step("the demo's stand-in follows coded orders to the archive", async () => {
    service.startLiveDispatcher(1);
    await click(page, '#IWImageButton1');
    await page.waitForFunction(() => document.querySelectorAll('#IWGrid1 tbody tr').length === 0);
    await click(page, '#IWImageButton3');
    const callsigns = await page.$$eval('#IWGrid2 tbody tr td:last-child', (cells) => cells.map((c) => c.textContent));
    assert.equal(callsigns.length, 2);
    assert.ok(callsigns.every((callsign) => /^\d+$/.test(callsign)), callsigns.join());
  });
  await service.stop();
});
