// Opens the test page in a tab once the extension is loaded.
chrome.tabs.create({url: chrome.runtime.getURL('test.html')});
