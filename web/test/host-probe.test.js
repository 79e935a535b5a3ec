import assert from 'node:assert/strict';
import {mock, test} from 'node:test';
import {HostProbe, PROBE_FRAME} from '../extension/rules/host-probe.js';

// A fake native host per connect: `hosts` records each; answer/leave acts on the last.
function fakeHosts() {
  const hosts = [];
  const connectHost = (handlers) => {
    const host = {posted: [], closed: false, handlers, post: (m) => host.posted.push(m), close: () => { host.closed = true; }};
    hosts.push(host);
    return host;
  };
  return {hosts, connectHost};
}

test('probes asked for meanwhile share one host start; a ready host is not probed again, a missing one is', async () => {
  const {hosts, connectHost} = fakeHosts();
  const probe = new HostProbe(connectHost);
  const first = [probe.status(), probe.status(), probe.status()];
  assert.equal(hosts.length, 1);
  assert.deepEqual(hosts[0].posted, [PROBE_FRAME]);
  hosts[0].handlers.onDisconnect('Specified native messaging host not found.');
  assert.deepEqual(await Promise.all(first), ['host-missing', 'host-missing', 'host-missing']);

  const second = [probe.status(), probe.status()];
  assert.equal(hosts.length, 2);
  hosts[1].handlers.onMessage({mode: '01', result: '1', errcode: 'EW042-1200'});
  assert.deepEqual(await Promise.all(second), ['ready', 'ready']);
  assert.equal(hosts[1].closed, true);
  assert.equal(await probe.status(), 'ready');
  assert.equal(hosts.length, 2);
});

test('a host that never answers: the probe gives up at the longest hostStart a page may ask for', async () => {
  mock.timers.enable(['setTimeout']);
  try {
    const {hosts, connectHost} = fakeHosts();
    const probe = new HostProbe(connectHost);
    const pending = probe.status();
    mock.timers.tick(60000);
    await assert.rejects(pending);
    assert.equal(hosts[0].closed, true);
    probe.status();
    assert.equal(hosts.length, 2, 'a later status() probes anew');
  } finally {
    mock.timers.reset();
  }
});
