// A korvantis --headless of its own for the browser tests: a temporary folder with a
// dispatchers' database made by the project's script, SETSERVER.INI, and the program
// started (and stopped with SIGTERM) there.
import { spawn, spawnSync } from 'node:child_process';
import fs from 'node:fs';
import net from 'node:net';
import os from 'node:os';
import path from 'node:path';

export const binary = process.env.KV_BINARY;
export const sourceDir = process.env.KV_SOURCE_DIR;

export async function freePort() {
  return new Promise((resolve) => {
    const server = net.createServer();
    server.listen(0, () => { const { port } = server.address(); server.close(() => resolve(port)); });
  });
}

async function accepts(port) {
  return new Promise((resolve) => {
    const socket = net.connect(port, '127.0.0.1');
    socket.on('connect', () => { socket.destroy(); resolve(true); });
    socket.on('error', () => resolve(false));
  });
}

export class Service {
  // `demo`: the dispatchers' database holds the demo city, its clients and cars.
  constructor({ demo = false } = {}) {
    this.folder = fs.mkdtempSync(path.join(os.tmpdir(), 'kv-browser-'));
    fs.mkdirSync(path.join(this.folder, 'LOG'));
    const made = spawnSync(path.join(sourceDir, 'scripts/make-dispatch-db'),
      ['--force', ...(demo ? ['--demo'] : []), path.join(this.folder, 'DISPATCH.FDB')]);
    if (made.status !== 0) throw new Error('make-dispatch-db failed: ' + made.stderr);
    this.server = '';
    this.password = 'masterkey';
  }

  // From now on the program reaches its databases through the local Firebird server, so
  // that the dispatcher stand-in can work on the same database at the same time.
  useServer() {
    const started = spawnSync(path.join(sourceDir, 'scripts/firebird-server'), ['--password']);
    if (started.status !== 0) throw new Error('firebird-server failed: ' + started.stderr);
    this.server = 'localhost:';
    this.password = started.stdout.toString().trim();
  }

  get dispatchDatabase() { return `${this.server}${path.join(this.folder, 'DISPATCH.FDB')}`; }

  // The dispatchers' program stand-in: assign ORDER CALLSIGN, arrive ORDER, complete ORDER, ...
  dispatcher(...args) {
    const program = path.join(path.dirname(binary), 'tests', 'korvantis-dispatcher');
    const run = spawnSync(program, [this.dispatchDatabase, this.password, ...args.map(String)]);
    if (run.status !== 0) throw new Error('korvantis-dispatcher failed: ' + run.stderr);
  }

  // The stand-in's "live" mode, as the demo runs it: every open web order one step further
  // each `seconds`. Stopped with the service.
  startLiveDispatcher(seconds) {
    const program = path.join(path.dirname(binary), 'tests', 'korvantis-dispatcher');
    this.live = spawn(program, [this.dispatchDatabase, this.password, 'live', String(seconds)], { stdio: 'ignore' });
  }

  // A query on the dispatchers' database; the rows as isql prints them.
  dispatchQuery(statement) {
    const run = spawnSync('isql-fb', ['-q', '-ch', 'UTF8', '-user', 'SYSDBA', '-password', this.password,
      this.dispatchDatabase], { input: statement + '\n' });
    if (run.status !== 0) throw new Error('isql-fb failed: ' + run.stderr + run.stdout);
    return run.stdout.toString();
  }

  async start(settings) {
    this.port = await freePort();
    fs.writeFileSync(path.join(this.folder, 'SETSERVER.INI'),
      `[SHLYAH_BAZA]\nSERVER=${this.server}\nPATH_BAZA=${this.folder}\nNAME_BAZA=DISPATCH.FDB\n` +
      `[SET_SERV]\nLOGIN=SYSDBA\nPASS=${this.password}\n` +
      settings.replaceAll('{port}', String(this.port)));
    this.stderr = '';
    this.process = spawn(binary, ['--headless'], { cwd: this.folder });
    this.process.stderr.on('data', (chunk) => { this.stderr += chunk; });
    for (let i = 0; i < 600 && !(await accepts(this.port)); ++i) {
      if (this.process.exitCode !== null) throw new Error('korvantis exited: ' + this.stderr);
      await new Promise((r) => setTimeout(r, 100));
    }
    this.url = `http://127.0.0.1:${this.port}/zakaz`;
  }

  async stop() {
    this.live?.kill();
    if (!this.process || this.process.exitCode !== null) return;
    const exited = new Promise((resolve) => this.process.on('exit', resolve));
    this.process.kill('SIGTERM');
    await exited;
  }

  // SQL on the service database while the program is stopped (the embedded engine
  // lets one process at a time open it).
  sql(statements) {
    const run = spawnSync('isql-fb', ['-q', '-b', '-ch', 'UTF8', '-user', 'SYSDBA', '-password', 'masterkey',
      path.join(this.folder, 'KORVANTIS_KLIENT.FDB')], { input: statements + '\nCOMMIT;\n' });
    if (run.status !== 0) throw new Error('isql-fb failed: ' + run.stderr + run.stdout);
  }

  remove() { fs.rmSync(this.folder, { recursive: true, force: true }); }
}
