// A small client for Chromium's DevTools protocol over --remote-debugging-pipe: Chromium reads
// commands on its fd 3 and writes replies and events on its fd 4, each a JSON text ended by a
// NUL byte. No WebSocket library is needed.
'use strict';
const {spawn} = require('child_process');
const fs = require('fs');
const os = require('os');
const path = require('path');

class Browser {
    // Starts headless Chromium with a fresh profile and a window of `width` x `height`.
    static async launch({width = 1000, height = 800, extra = []} = {}) {
        const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'pelorin-devtools-'));
        const child = spawn('chromium', [
            '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-sync',
            '--disable-background-networking', '--disable-component-update',
            '--disable-extensions', '--hide-scrollbars', `--window-size=${width},${height}`,
            `--user-data-dir=${profile}`, '--remote-debugging-pipe', ...extra, 'about:blank',
        ], {stdio: ['ignore', 'ignore', 'pipe', 'pipe', 'pipe']});
        const browser = new Browser(child, profile);
        child.stderr.on('data', () => { }); // Chromium's own chatter
        const {targetInfos} = await browser.send('Target.getTargets');
        const page = targetInfos.find((t) => t.type === 'page');
        const {sessionId} = await browser.send('Target.attachToTarget',
                                               {targetId: page.targetId, flatten: true});
        browser.session = sessionId;
        return browser;
    }

    constructor(child, profile) {
        this.child = child;
        this.profile = profile;
        this.nextId = 1;
        this.pending = new Map();
        this.listeners = [];
        let buffered = Buffer.alloc(0);
        child.stdio[4].on('data', (chunk) => {
            buffered = Buffer.concat([buffered, chunk]);
            for (let end = buffered.indexOf(0); end >= 0; end = buffered.indexOf(0)) {
                const message = JSON.parse(buffered.subarray(0, end).toString('utf8'));
                buffered = buffered.subarray(end + 1);
                this.dispatch(message);
            }
        });
        this.exited = new Promise((resolve) => child.on('exit', resolve));
        this.exited.then(() => {
            for (const {reject} of this.pending.values())
                reject(new Error('Chromium ended'));
            this.pending.clear();
        });
    }

    dispatch(message) {
        if (message.id !== undefined) {
            const waiting = this.pending.get(message.id);
            this.pending.delete(message.id);
            if (!waiting)
                return;
            if (message.error)
                waiting.reject(new Error(`${waiting.method}: ${message.error.message}`));
            else
                waiting.resolve(message.result);
            return;
        }
        for (const listener of this.listeners.slice())
            listener(message);
    }

    // A command to the browser, or to the page when `page` is true.
    send(method, params = {}, page = false) {
        const id = this.nextId++;
        const message = {id, method, params};
        if (page)
            message.sessionId = this.session;
        return new Promise((resolve, reject) => {
            this.pending.set(id, {resolve, reject, method});
            this.child.stdio[3].write(JSON.stringify(message) + '\0');
        });
    }

    page(method, params = {}) {
        return this.send(method, params, true);
    }

    // Calls `listener` with every event until it returns true.
    on(listener) {
        const wrapped = (message) => {
            if (listener(message))
                this.listeners.splice(this.listeners.indexOf(wrapped), 1);
        };
        this.listeners.push(wrapped);
    }

    // The next event named `method` (on the page when `page`), optionally one that `test` accepts.
    waitFor(method, test = () => true) {
        return new Promise((resolve) => this.on((m) => {
            if (m.method !== method || !test(m.params || {}))
                return false;
            resolve(m.params);
            return true;
        }));
    }

    // The value of a page expression; promises are awaited.
    async evaluate(expression) {
        const {result, exceptionDetails} = await this.page('Runtime.evaluate',
            {expression, awaitPromise: true, returnByValue: true});
        if (exceptionDetails)
            throw new Error(`${expression}: ${exceptionDetails.exception
                ? exceptionDetails.exception.description : exceptionDetails.text}`);
        return result.value;
    }

    async close() {
        try {
            await Promise.race([this.send('Browser.close'),
                                new Promise((r) => setTimeout(r, 3000))]);
        } catch (e) {
        }
        if (this.child.exitCode === null)
            this.child.kill();
        await this.exited;
        // Chromium's helpers may still be writing into the profile for a moment.
        try {
            fs.rmSync(this.profile, {recursive: true, force: true, maxRetries: 10, retryDelay: 100});
        } catch (e) {
        }
    }
}

// Records the renderer's tasks while it runs: `mark(name)` starts a phase, `tasks()` stops and
// gives each phase's tasks on the page's main thread (durations in ms).
class TaskRecorder {
    constructor(browser) {
        this.browser = browser;
        this.events = [];
        this.marks = [];
    }

    async start() {
        this.browser.on((m) => {
            if (m.method === 'Tracing.dataCollected')
                for (const e of m.params.value)
                    this.events.push(e);
            return m.method === 'Tracing.tracingComplete';
        });
        await this.browser.send('Tracing.start', {
            transferMode: 'ReportEvents',
            traceConfig: {includedCategories: ['toplevel', 'blink.user_timing', '__metadata']},
        });
    }

    // Starts a phase named `name`: a user timing mark in the page, whose time the trace tells.
    async mark(name) {
        await this.browser.evaluate(`performance.mark(${JSON.stringify('phase:' + name)})`);
    }

    // Ends the trace; returns {phase: [{ms, cpu}]}: the tasks of the page's main thread, in
    // real time and in the thread's own CPU time (which tells a busy machine from a busy page).
    async tasks() {
        const done = this.browser.waitFor('Tracing.tracingComplete');
        await this.browser.send('Tracing.end');
        await done;
        const marks = this.events.filter((e) => e.cat === 'blink.user_timing'
            && typeof e.name === 'string' && e.name.startsWith('phase:'))
            .sort((a, b) => a.ts - b.ts);
        // The page's renderer is the one that made the last mark; Chromium's own pages run in
        // renderers of their own.
        const page = marks.length ? marks[marks.length - 1].pid : -1;
        const main = new Set();
        for (const e of this.events)
            if (e.ph === 'M' && e.name === 'thread_name' && e.args.name === 'CrRendererMain'
                && e.pid === page)
                main.add(`${e.pid}:${e.tid}`);
        const phases = {};
        const tasks = this.events.filter((e) => e.ph === 'X' && main.has(`${e.pid}:${e.tid}`)
            && /RunTask$/.test(e.name));
        for (let i = 0; i < marks.length; i++) {
            const from = marks[i].ts;
            const to = i + 1 < marks.length ? marks[i + 1].ts : Infinity;
            phases[marks[i].name.slice(6)] = tasks
                .filter((t) => t.ts + t.dur >= from && t.ts < to)
                .map((t) => ({ms: t.dur / 1000, cpu: (t.tdur || 0) / 1000}));
        }
        return phases;
    }
}

module.exports = {Browser, TaskRecorder};
