// Browser tests of the web pages: Debian's Chromium driven by playwright-core
// against a real korvantis --headless. Exit 77 (skipped) only when Chromium cannot run.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { alertingPage, launchBrowser, runJourney, step } from './journey.mjs';
import { audit, widths } from './phone.mjs';
import { Service } from './service.mjs';

const browser = await launchBrowser();
const service = new Service();
const newPage = alertingPage;

async function login(page, code, password) {
  await page.fill('#IWEdit1', code);
  await page.fill('#IWEdit2', password);
  await Promise.all([page.waitForLoadState('load'), page.waitForNavigation(), page.click('#IWButton2')]);
  await page.waitForTimeout(50);  // the page's alerts come right after its load
}

const unknown = 'Ви не зареєстровані у web системі і/або ваша заявка ще не оброблена модератором у випадку попередньої подачи заявки !';

await runJourney(browser, service, async () => {
  // First run: creates the service database; a coded client is added while it is stopped.
  await service.start('[DOSTUP]\nPORT_WEB_SERVERA={port}\n[DOSTUP_JAVA]\nCLOSE_SERVER=1\n');
  await service.stop();
  service.sql("INSERT INTO TABLE_KLIENT (TABLE_KLIENT_NP, TABLE_KLIENT_KOD, TABLE_KLIENT_PASS, TABLE_KLIENT_TELEF, TABLE_KLIENT_BAN) " +
              "VALUES (1, '00220', 'secret', '0501234567', '-');");
  fs.writeFileSync(path.join(service.folder, 'NEWS.rtf'), '{\\rtf1\\ansi Taxi news line one\\par line two}');
  await service.start(
    '[SET_FIRMA]\nNAME_FIRMA=Таксі <Зірка>\nTELEFON_FIRMA=555-12-12\nPOVIDOML_PRI_ZAPUSKU=Вітаємо у службі таксі!\n' +
    '[DOSTUP]\nPORT_WEB_SERVERA={port}\nZAGRUZKA_REMONT_ROBIT=0\nMAX_KIL_ZEDNAYA=1\n[DOSTUP_JAVA]\nCLOSE_SERVER=1\n' +
    '[REKLAMA]\nURL_IMG=newspaper.bmp\nURL_SAIT=www.example.com\nTEXT_REKLAMA=Реклама <script>alert(1)</script> таксі\n');

  const first = await browser.newContext();
  const page = await newPage(first);

  await step('main page shows the greeting and the advert', async () => {
    await page.goto(service.url);
    assert.equal(await page.title(), 'Головна сторінка');
    assert.match(page.url(), /\/zakaz\/[0-9a-f]{32}$/);
    assert.equal(await page.textContent('#IWText1'), 'Вітаємо у службі таксі!');
    assert.equal(await page.inputValue('#IWMemo1'), 'Реклама <script>alert(1)</script> таксі');
    assert.equal(await page.isVisible('#IWImageFile1 img'), true);
    assert.equal(await page.textContent('#IWLabel4'), 'НА ПРАВАХ РЕКЛАМИ');
    assert.deepEqual(page.alerts, []);
  });

  await step('a wrong login is refused', async () => {
    await login(page, '00220', 'wrong');
    assert.deepEqual(page.alerts.splice(0), [unknown]);
  });

  await step('news and company pages', async () => {
    await Promise.all([page.waitForNavigation(), page.click('#IWImageButton2')]);
    assert.equal(await page.title(), 'Новини');
    assert.equal(await page.inputValue('#IWMemo1'), 'Taxi news line one\nline two');
    await Promise.all([page.waitForNavigation(), page.click('#IWImageButton1')]);
    await Promise.all([page.waitForNavigation(), page.click('#IWImageButton6')]);
    assert.equal(await page.title(), 'Дані диспетчерської служби');
    assert.equal(await page.textContent('#IWLabel5'), 'Таксі <Зірка>');
    assert.equal(await page.textContent('#IWLabel7'), '555-12-12');
    await Promise.all([page.waitForNavigation(), page.click('#IWImageButton1')]);
  });

  const second = await browser.newContext();
  const other = await newPage(second);
  await step('a second browser is over the connection limit', async () => {
    await other.goto(service.url);
    assert.match(await other.textContent('body'), /Зєднань більше максимально заданих !.*\(тел\. \[555-12-12\]\) !/s);
  });

  await step('the sixth entry of a session ends it', async () => {
    for (let attempt = 2; attempt <= 5; ++attempt) {
      await login(page, '1', '2');
      assert.deepEqual(page.alerts.splice(0), [unknown]);
    }
    await login(page, '00220', 'secret');
    assert.match(await page.textContent('body'), /Вихід з системи замовлення, так як у вас перевищений ліміт вводу даних клієнта/);
    await other.goto(service.url);
    assert.equal(await other.title(), 'Головна сторінка');
  });

  await step('a right login opens the coded order page', async () => {
    await login(other, '00220', 'secret');
    assert.equal(await other.title(), 'Кодовані клієнти');
    assert.equal(await other.textContent('#IWLabel14'), '00220');
  });
  await first.close();
  await second.close();
  await service.stop();

  // Second run: maintenance start page and sessions whose planned end comes at once.
  await service.start('[DOSTUP]\nPORT_WEB_SERVERA={port}\nZAGRUZKA_REMONT_ROBIT=1\nMAX_KIL_ZEDNAYA=3\n' +
                      'MAX_CHAS_NEKODOVANOGO_ZEDN=0\n[DOSTUP_JAVA]\nCLOSE_SERVER=1\n');
  const third = await browser.newContext({ viewport: { width: 1100, height: 700 } });
  const maintenance = await newPage(third);
  await step('maintenance page centres its picture, and fits a phone', async () => {
    await maintenance.goto(service.url);
    assert.equal(await maintenance.title(), 'Сайт на реконструкції ...');
    const box = await maintenance.locator('#IWImage1').boundingBox();
    assert.deepEqual([box.x, box.y], [275, 55]);
    assert.equal(await maintenance.evaluate(() => document.querySelector('#IWImage1 img').naturalWidth), 600);
    const measured = await widths(maintenance);
    assert.deepEqual(Object.entries(measured).map(([w, m]) => m.width <= Number(w)), [true, true, true]);
    assert.deepEqual((await audit(maintenance)).filter((v) => v.impact === 'critical'), []);
  });

  await step('the time-limit message after the planned end', async () => {
    await maintenance.waitForTimeout(12000);  // the expiry timer runs every 10 seconds
    await Promise.all([maintenance.waitForNavigation(), maintenance.click('#IWLink1')]);
    assert.match(await maintenance.textContent('body'),
      /Перевищено ліміт часу праці активної сесії ! При потребі обновіть головну сторінку\./);
  });
  await third.close();
});
