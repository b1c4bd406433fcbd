// A passenger's quick order on a phone, in Debian's Chromium against a real korvantis
// --headless on the demo city, with the dispatchers' program stand-in through the Firebird
// server: Enter in the search, Back, Forward and a refresh after a page change and during
// the tracking, and the session's slot, kept while the passenger moves between the pages
// and given back by the page left at the end. Exit 77 (skipped) only when Chromium cannot run.
import assert from 'node:assert/strict';
import { alertingPage, clickAndLoad, launchBrowser, runJourney, step } from './journey.mjs';
import { phone } from './phone.mjs';
import { Service } from './service.mjs';

const browser = await launchBrowser();
const service = new Service({ demo: true });
const click = clickAndLoad;

const sessions = async () => (await (await fetch(`http://127.0.0.1:${service.port}/health`)).json()).webSessions;
const sameDocument = (page) => page.evaluate(() => window.kvSameDocument === true);
const markDocument = (page) => page.evaluate(() => { window.kvSameDocument = true; });
const orders = (telephone) =>
  service.dispatchQuery(`SELECT ZAMOVL_NUMBER FROM ZAMOVLENNIA WHERE ZAMOVL_PRICHINA_DELETE CONTAINING 'тел.:[${telephone}]';`)
    .match(/^\s*\d+\s*$/gm)?.map(Number) ?? [];

// A history move that must show a page of the session, never post a form again (the
// browser's "Confirm Form Resubmission").
async function historyMove(page, move) {
  const posts = [];
  const seen = (request) => { if (request.isNavigationRequest() && request.method() !== 'GET') posts.push(request.url()); };
  page.on('request', seen);
  const response = await move();
  page.off('request', seen);
  assert.equal(response?.status(), 200);
  assert.deepEqual(posts, []);
  assert.equal(await page.locator('#kv-form').count(), 1);
}

await runJourney(browser, service, async () => {
  service.useServer();
  await service.start(
    '[SET_FIRMA]\nTELEFON_FIRMA=555-12-12\n' +
    '[DOSTUP]\nPORT_WEB_SERVERA={port}\nZAGRUZKA_REMONT_ROBIT=0\nMAX_KIL_ZEDNAYA=5\nMAIN_TARIF=Стандарт\n' +
    'DOZVIL_ZAM_PO_DANIH_TELEFONA=1\nDOZVIL_ZAM_PO_DANIH_TELEFONA_BEZ_PROVIRKI=1\n' +
    '[SETKLIENT]\nTIMER_REFLESH_DATA_SHVIDK_ZAM=1\nCHAS_ZAKRITTYA_ZAM=30\n[DOSTUP_JAVA]\nCLOSE_SERVER=1\n');
  const page = await alertingPage(await browser.newContext(phone));

  await step('Back and Forward after a page change show the pages; the session stays', async () => {
    await page.goto(service.url);
    await click(page, '#IWImageButton2');
    assert.equal(await page.title(), 'Новини');
    await historyMove(page, () => page.goBack());
    await historyMove(page, () => page.goForward());
    await historyMove(page, () => page.reload());
    // Each move left a page, whose beacon came after the next page: the session is kept.
    await page.waitForTimeout(7000);
    assert.equal(await sessions(), 1);
    await click(page, '#IWImageButton1');
    assert.equal(await page.title(), 'Головна сторінка');
  });

  await step('Enter in the search lists the streets in place', async () => {
    await click(page, '#IWButton1');
    await markDocument(page);
    await page.fill('#IWEdit1', 'Лесі');
    await page.press('#IWEdit1', 'Enter');
    await page.waitForSelector('#IWListbox1 option:text-is("Лесі Українки")');
    assert.equal(await sameDocument(page), true);
  });

  let order;
  await step('Back, Forward and a refresh during the tracking show it and place nothing again', async () => {
    await page.selectOption('#IWListbox1', { label: 'Лесі Українки' });
    await page.waitForSelector('#IWComboBox2');
    await page.selectOption('#IWComboBox2', { label: '18' });
    await page.fill('#IWEdit8', '0505556677');
    await click(page, '#IWButton1');
    [order] = orders('0505556677');
    assert.ok(order > 0);
    for (const move of [() => page.goBack(), () => page.goForward(), () => page.reload()]) {
      await historyMove(page, move);
      assert.match(await page.textContent('#IWText1'), new RegExp(`порядковий номер \\[${order}\\]`));
    }
    service.dispatcher('assign', order, 110);
    await page.waitForFunction(() => document.querySelector('#IWText1').textContent.includes('позивний [110]'));
    assert.deepEqual(orders('0505556677'), [order]);
    assert.deepEqual(page.alerts, []);
  });

  await step('a page left at the end gives its slot back', async () => {
    service.dispatcher('complete', order);
    await page.waitForFunction(() => document.title === 'Головна сторінка');
    assert.equal(await sessions(), 1);
    await page.close({ runBeforeUnload: true });
    for (let i = 0; i < 100 && (await sessions()) > 0; ++i) await new Promise((r) => setTimeout(r, 100));
    assert.equal(await sessions(), 0);
  });
});
