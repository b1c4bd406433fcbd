// From application to answered complaint: a client applies on the registration page in
// Debian's Chromium, the operator's handling turns the request into an account
// (korvantis-operator, while the program is stopped: the embedded engine opens the
// service database for one process), the client logs in on the web and over the mobile
// protocol, complains from the phone, the operator answers, and the phone shows the
// answer at the next login. Exit 77 (skipped) only when Chromium cannot run.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import net from 'node:net';
import path from 'node:path';
import { Service, binary, freePort } from './service.mjs';

const { chromium } = await import('playwright-core').catch(() => {
  console.error('playwright-core is missing: run scripts/install-deps');
  process.exit(1);
});

let browser;
try {
  browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox'] });
} catch (error) {
  console.log('SKIP: Chromium cannot run here: ' + error.message.split('\n')[0]);
  process.exit(77);
}

const service = new Service({ demo: true });
let steps = 0;
async function step(name, body) {
  await body();
  ++steps;
  console.log('ok - ' + name);
}

async function newPage() {
  const page = await (await browser.newContext()).newPage();
  page.alerts = [];
  page.on('dialog', async (dialog) => { page.alerts.push(dialog.message()); await dialog.accept(); });
  return page;
}

async function click(page, selector) {
  await Promise.all([page.waitForNavigation(), page.click(selector)]);
  await page.waitForTimeout(50);  // the page's alerts come right after its load
}

function operator(...args) {
  const program = path.join(path.dirname(binary), 'tests', 'korvantis-operator');
  const run = spawnSync(program, [service.folder, ...args]);
  if (run.status !== 0) throw new Error('korvantis-operator failed: ' + run.stderr);
}

// The service database's rows, as isql prints them, while the program is stopped.
function serviceQuery(statement) {
  const run = spawnSync('isql-fb', ['-q', '-ch', 'UTF8', '-user', 'SYSDBA', '-password', 'masterkey',
    path.join(service.folder, 'KORVANTIS_KLIENT.FDB')], { input: statement + '\n' });
  if (run.status !== 0) throw new Error('isql-fb failed: ' + run.stderr + run.stdout);
  return run.stdout.toString();
}

// The mobile application: one connection, each answer read up to its "@".
class Phone {
  static async connect(port) {
    const phone = new Phone();
    for (let i = 0; ; ++i) {
      try {
        phone.socket = await new Promise((resolve, reject) => {
          const socket = net.connect(port, '127.0.0.1', () => resolve(socket));
          socket.on('error', reject);
        });
        break;
      } catch (error) {
        if (i === 50) throw error;
        await new Promise((r) => setTimeout(r, 100));
      }
    }
    phone.buffer = '';
    phone.socket.setEncoding('latin1');
    phone.socket.on('data', (chunk) => { phone.buffer += chunk; phone.wake?.(); });
    assert.equal(await phone.answer(), '<OK!>@');
    return phone;
  }
  async answer() {
    while (!this.buffer.includes('@')) await new Promise((resolve) => { this.wake = resolve; });
    const end = this.buffer.indexOf('@') + 1;
    const first = this.buffer.slice(0, end);
    this.buffer = this.buffer.slice(end);
    return first;
  }
  async request(text) {
    this.socket.write(text + '###', 'latin1');
    return this.answer();
  }
  async login(code, password) {
    return this.request(`<CodClient>${code}</CodClient><CodPass>${password}</CodPass></OpenFormCodZam>`);
  }
  // The personal message of the status block, decoded.
  async personalMessage() {
    const status = await this.request('<DateFormCodZam>');
    const text = status.match(/<VhidMsg>([^<]*)<\/VhidMsg>/)[1];
    return Buffer.from(text, 'base64').toString('utf8');
  }
  close() { this.socket.destroy(); }
}

const webPort = '{port}';
const javaPort = await freePort();
const settings = `[DOSTUP]\nPORT_WEB_SERVERA=${webPort}\nZAGRUZKA_REMONT_ROBIT=0\nMAX_KIL_ZEDNAYA=5\n` +
  `[DOSTUP_JAVA]\nPORT_JAVA_SERVERA=${javaPort}\nCLOSE_SERVER=0\nMAX_KIL_ZEDNAYA=5\n`;
const welcome = 'Вітаємо у службі таксі';
const answer = 'Вибачте, водія покарано.\nДякуємо, що написали.';

try {
  await service.start(settings);
  const page = await newPage();

  await step('the registration page lists what is missing, then takes the application', async () => {
    await page.goto(service.url);
    await click(page, '#IWButton3');
    assert.equal(await page.title(), 'Реєстрація у web системі');
    await click(page, '#IWButton1');
    // The browser shows each carriage return as a line break.
    assert.deepEqual(page.alerts.splice(0), ['Немає можливості подати заявку, можливі помилки : \n<Не задано код клієнта>' +
      '\n/<Не задано ваш пароль>\n/<Не задано телефонний номер>. Після виправлення помилок повторіть спробу !']);
    await page.fill('#IWEdit1', '00105');
    await page.fill('#IWEdit2', 'kid5');
    await page.fill('#IWEdit3', '0975556677');
    await page.fill('#IWMemo1', "Мельник, з дитячим кріслом; O'Neil");
    await click(page, '#IWButton1');
    assert.equal(await page.title(), 'Головна сторінка');
    assert.deepEqual(page.alerts.splice(0), ['Успішна подача заявки на вхід у систему web сервіса. Можливий вхід у ' +
      'систему замовлення таксі тільки після обробки заявки модератором !']);
  });

  await step('the request waits in TABLE_ZAYAVKA and the operator makes the account', async () => {
    await service.stop();
    const rows = serviceQuery('SELECT TABLE_ZAYAVKA_KOD, TABLE_ZAYAVKA_PASS, TABLE_ZAYAVKA_TELEF, TABLE_ZAYAVKA_PRIM FROM TABLE_ZAYAVKA;');
    assert.match(rows, /00105\s+kid5\s+0975556677\s+Мельник, з дитячим кріслом; O'Neil/);
    operator('create', '00105', welcome);
    assert.match(serviceQuery('SELECT COUNT(*) FROM TABLE_ZAYAVKA;'), /^\s*0\s*$/m);
    await service.start(settings);
  });

  await step('the new account logs in on the web', async () => {
    await page.goto(service.url);
    await page.fill('#IWEdit1', '00105');
    await page.fill('#IWEdit2', 'kid5');
    await click(page, '#IWButton2');
    assert.deepEqual(page.alerts, []);
    assert.equal(await page.title(), 'Кодоване замовлення');
    assert.match(await page.textContent('#IWText1'), /\[00105\], тел\. \[0975556677\]/);
  });

  await step('the phone logs in, reads the welcome and complains', async () => {
    const phone = await Phone.connect(javaPort);
    assert.equal(await phone.login('00105', 'kid5'), '<OtvetOpenFormCodZam><status>OK</status></OtvetOpenFormCodZam>@');
    assert.equal(await phone.personalMessage(), welcome);
    const complaint = Buffer.from('The driver was late', 'latin1').toString('base64');
    phone.socket.write(`<SendMsgFormCodZam>${complaint}</SendMsgFormCodZam>###`, 'latin1');
    // Requests are handled in order: once this is answered, the complaint is stored.
    await phone.personalMessage();
    phone.close();
  });

  await step('the operator answers; the next login on the phone shows the answer', async () => {
    await service.stop();
    operator('answer', '00105', answer);
    assert.match(serviceQuery("SELECT TABLE_SKARGA_VIDPOV FROM TABLE_SKARGA WHERE TABLE_SKARGA_KOD = '00105';"), /^\s*\+\s*$/m);
    await service.start(settings);
    const phone = await Phone.connect(javaPort);
    assert.equal(await phone.login('00105', 'kid5'), '<OtvetOpenFormCodZam><status>OK</status></OtvetOpenFormCodZam>@');
    assert.equal(await phone.personalMessage(), answer.replace('\n', '\r\n'));
    phone.close();
  });
  console.log(`all ${steps} steps passed`);
} catch (error) {
  console.error(error);
  console.error(service.stderr);
  process.exitCode = 1;
} finally {
  await browser.close();
  await service.stop();
  service.remove();
}
