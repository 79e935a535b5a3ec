// One-shot request with sendNativeMessage, then a request on a connectNative
// port followed by a cancel; reports what the page received to the test's
// result server. The test writes config.js: kTestConfig with the server's port,
// the two requests and the delay before the cancel.
const kHost = 'com.vandrel.kelvarist.tavori';
const {port: resultPort, oneShotRequest, connectRequest, cancelAfterMs} = kTestConfig;

function oneShot() {
  return new Promise((resolve) => {
    chrome.runtime.sendNativeMessage(kHost, oneShotRequest, (answer) => {
      resolve(chrome.runtime.lastError ? {error: chrome.runtime.lastError.message} : {answer});
    });
  });
}

function requestThenCancel() {
  return new Promise((resolve) => {
    const port = chrome.runtime.connectNative(kHost);
    const received = [];
    port.onMessage.addListener((message) => received.push(message));
    port.onDisconnect.addListener(() => resolve({received, disconnected: true}));
    port.postMessage(connectRequest);
    setTimeout(() => port.postMessage({mode: '05'}), cancelAfterMs);
  });
}

(async () => {
  const report = {oneshot: await oneShot(), connect: await requestThenCancel()};
  await fetch(`http://127.0.0.1:${resultPort}/result`, {method: 'POST', body: JSON.stringify(report)});
})();
