import assert from 'node:assert/strict';
import {mock, test} from 'node:test';
import {STAGE_DEFAULTS, StageTimer, stageTimeouts} from '../extension/rules/stage-timeouts.js';
import {RequestSlot} from '../extension/rules/request-slot.js';

test('a page may set each stage within its limits', () => {
  const cases = [
    [undefined, STAGE_DEFAULTS],
    [{user: 60000}, {...STAGE_DEFAULTS, user: 60000}],
    [{user: 1}, {...STAGE_DEFAULTS, user: 10000}],
    [{user: 1e12, hostStart: 0}, {...STAGE_DEFAULTS, user: 1800000, hostStart: 1000}],
    [{user: '60000', hostStart: NaN, ack: Infinity}, STAGE_DEFAULTS],
  ];
  for (const [requested, expected] of cases) assert.deepEqual(stageTimeouts(requested), expected, JSON.stringify(requested));
});

test('only the current stage\'s timer runs, and it names its stage', () => {
  mock.timers.enable(['setTimeout']);
  try {
    const fired = [];
    const timer = new StageTimer({hostStart: 100, user: 1000}, (stage) => fired.push(stage));
    timer.enter('hostStart');
    mock.timers.tick(99);
    timer.enter('user');
    mock.timers.tick(999);
    assert.deepEqual(fired, []);
    mock.timers.tick(1);
    assert.deepEqual(fired, ['user']);
    timer.enter('user');
    timer.stop();
    mock.timers.tick(5000);
    assert.deepEqual(fired, ['user']);
  } finally {
    mock.timers.reset();
  }
});

test('one request at a time; a closing one is waited for; a stale token frees nothing', async () => {
  mock.timers.enable(['setTimeout']);
  try {
    const slot = new RequestSlot();
    const first = await slot.acquire('a');
    assert.equal(await slot.acquire('b'), null);
    slot.release(first, 700);
    const waiting = slot.acquire('c');
    mock.timers.tick(700);
    const third = await waiting;
    assert.ok(third);
    slot.release(first);
    assert.equal(await slot.acquire('d'), null);
    slot.release(third);
    assert.ok(await slot.acquire('e'));
  } finally {
    mock.timers.reset();
  }
});
