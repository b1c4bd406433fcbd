// Applies for a web account on the registration page in Debian's Chromium, for the
// accounts journey of tests/e2e: first with nothing filled in, then with the values given.
//   node apply_for_account.mjs URL CODE PASSWORD TELEPHONE NOTE
// Prints the page's title and then its alerts, a line each; exit 77 when Chromium cannot run.
import { chromium } from 'playwright-core';

const [url, ...values] = process.argv.slice(2);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] })
  .catch((error) => { console.error(error.message); process.exit(77); });
const page = await browser.newPage();
const alerts = [];
page.on('dialog', async (dialog) => { alerts.push(dialog.message()); await dialog.accept(); });
async function click(selector) {
  await Promise.all([page.waitForNavigation(), page.click(selector)]);
  await page.waitForTimeout(50);  // the page's alerts come right after its load
}
await page.goto(url);
await click('#IWButton3');
await click('#IWButton1');
for (const [i, field] of ['#IWEdit1', '#IWEdit2', '#IWEdit3', '#IWMemo1'].entries()) await page.fill(field, values[i]);
await click('#IWButton1');
console.log([await page.title(), ...alerts].join('\n'));
await browser.close();
