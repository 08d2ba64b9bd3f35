// A small DevTools protocol client for headless Chromium over --remote-debugging-pipe (the
// browser reads commands from its descriptor 3 and answers on 4, messages ended by NUL), so
// no WebSocket library is needed. Used by the browser tests and the benchmarks.
'use strict';
const {spawn} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

async function launch(extraArgs) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pelorin-cdp-'));
  const child = spawn('chromium', [
    '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-sync',
    '--disable-background-networking', '--disable-component-update', '--hide-scrollbars',
    '--remote-debugging-pipe', '--user-data-dir=' + profile
  ].concat(extraArgs || []), {stdio: ['ignore', 'ignore', 'ignore', 'pipe', 'pipe']});
  const input = child.stdio[3];
  const output = child.stdio[4];
  let buffer = Buffer.alloc(0);
  let nextId = 0;
  const pending = new Map();
  const listeners = new Set();
  output.on('data', (chunk) => {
    buffer = Buffer.concat([buffer, chunk]);
    let end;
    while ((end = buffer.indexOf(0)) >= 0) {
      const message = JSON.parse(buffer.subarray(0, end).toString('utf8'));
      buffer = buffer.subarray(end + 1);
      if (message.id !== undefined && pending.has(message.id)) {
        const {resolve, reject} = pending.get(message.id);
        pending.delete(message.id);
        if (message.error)
          reject(new Error(JSON.stringify(message.error)));
        else
          resolve(message.result);
      } else {
        listeners.forEach((listener) => listener(message));
      }
    }
  });
  const exited = new Promise((resolve) => child.on('exit', resolve));
  function send(method, params, sessionId) {
    return new Promise((resolve, reject) => {
      const id = ++nextId;
      pending.set(id, {resolve, reject});
      const message = {id, method, params: params || {}};
      if (sessionId)
        message.sessionId = sessionId;
      input.write(JSON.stringify(message) + '\0');
    });
  }
  // Resolves with the first event of that name (in that session) for which `test` holds.
  function event(method, sessionId, test) {
    return new Promise((resolve) => {
      const listener = (m) => {
        if (m.method === method && m.sessionId === sessionId && (!test || test(m.params))) {
          listeners.delete(listener);
          resolve(m.params);
        }
      };
      listeners.add(listener);
    });
  }
  async function close() {
    try {
      await send('Browser.close');
    } catch (e) {
      child.kill();
    }
    await exited;
    fs.rmSync(profile, {recursive: true, force: true});
  }
  return {send, event, listeners, close};
}

// A tab that records what a reader would notice: console messages, uncaught errors, the
// browser's own complaints (such as a refused policy) and every request that left the disk;
// and the files it read.
async function openTab(browser, {width, height, dark, mobile}) {
  const {targetId} = await browser.send('Target.createTarget', {url: 'about:blank'});
  const {sessionId} = await browser.send('Target.attachToTarget', {targetId, flatten: true});
  const tab = {
    sessionId, console: [], requests: [], files: [],
    send: (method, params) => browser.send(method, params, sessionId),
    event: (method, test) => browser.event(method, sessionId, test),
  };
  browser.listeners.add((m) => {
    if (m.sessionId !== sessionId)
      return;
    if (m.method === 'Runtime.consoleAPICalled' && m.params.type !== 'log')
      tab.console.push(m.params.type + ': ' + m.params.args.map((a) => a.value).join(' '));
    else if (m.method === 'Runtime.exceptionThrown')
      tab.console.push('exception: ' + m.params.exceptionDetails.text + ' '
                       + JSON.stringify(m.params.exceptionDetails.exception || {}));
    else if (m.method === 'Log.entryAdded' && m.params.entry.level !== 'verbose')
      tab.console.push(m.params.entry.level + ': ' + m.params.entry.text);
    else if (m.method === 'Network.requestWillBeSent' && !/^(file|data|about):/.test(m.params.request.url))
      tab.requests.push(m.params.request.url);
    else if (m.method === 'Network.requestWillBeSent' && m.params.request.url.startsWith('file:'))
      tab.files.push(m.params.request.url);
  });
  await tab.send('Page.enable');
  await tab.send('Runtime.enable');
  await tab.send('Log.enable');
  await tab.send('Network.enable');
  await tab.send('Emulation.setDeviceMetricsOverride',
                 {width, height, deviceScaleFactor: 1, mobile: !!mobile});
  await tab.send('Emulation.setEmulatedMedia',
                 {features: [{name: 'prefers-color-scheme', value: dark ? 'dark' : 'light'}]});
  tab.goto = async (url) => {
    const loaded = tab.event('Page.loadEventFired');
    await tab.send('Page.navigate', {url});
    await loaded;
  };
  // Evaluates an expression (a promise is awaited) and gives its value.
  tab.eval = async (expression) => {
    const r = await tab.send('Runtime.evaluate',
                             {expression, awaitPromise: true, returnByValue: true});
    if (r.exceptionDetails)
      throw new Error(r.exceptionDetails.text + ' '
                      + JSON.stringify(r.exceptionDetails.exception || {}));
    return r.result.value;
  };
  tab.screenshot = async (file) => {
    const {data} = await tab.send('Page.captureScreenshot', {format: 'png'});
    fs.writeFileSync(file, Buffer.from(data, 'base64'));
  };
  return tab;
}

module.exports = {launch, openTab};
