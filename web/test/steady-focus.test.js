import assert from 'node:assert/strict';
import {mock, test} from 'node:test';
import {enableWhenSteady} from '../extension/rules/steady-focus.js';

// A window whose focus and visibility the test sets, with the events a browser sends.
function fakeView({focused = true, visible = true} = {}) {
  const view = new EventTarget();
  const doc = new EventTarget();
  doc.visibilityState = visible ? 'visible' : 'hidden';
  doc.hasFocus = () => focused;
  view.document = doc;
  view.focus = () => { focused = true; view.dispatchEvent(new Event('focus')); };
  view.blur = () => { focused = false; view.dispatchEvent(new Event('blur')); };
  view.show = (shown) => { doc.visibilityState = shown ? 'visible' : 'hidden'; doc.dispatchEvent(new Event('visibilitychange')); };
  return view;
}

// Steps on the fake clock: [ms to wait, action on the view or null], then whether the buttons are active.
test('buttons act only after the window has been visible and focused for a second, counted anew after each loss', () => {
  const cases = [
    ['focused from the start', {}, [[999, null, false], [1, null, true]]],
    ['the focus lost and back: the wait starts again', {},
      [[600, (v) => v.blur(), false], [100, (v) => v.focus(), false], [999, null, false], [1, null, true]]],
    ['never focused', {focused: false}, [[5000, null, false], [0, (v) => v.focus(), false], [1000, null, true]]],
    ['hidden, then shown', {visible: false}, [[2000, null, false], [0, (v) => v.show(true), false], [1000, null, true]]],
    ['active, then blurred: inactive until a second after the focus is back', {},
      [[1000, null, true], [0, (v) => v.blur(), false], [3000, null, false], [0, (v) => v.focus(), false],
        [999, null, false], [1, null, true]]],
    ['active, then hidden', {}, [[1000, null, true], [0, (v) => v.show(false), false], [2000, null, false]]],
  ];
  for (const [name, state, steps] of cases) {
    mock.timers.enable(['setTimeout']);
    try {
      const view = fakeView(state);
      const buttons = [{disabled: false}, {disabled: false}];
      let enabled = 0;
      enableWhenSteady(view, buttons, () => { enabled += 1; });
      assert.ok(buttons.every((button) => button.disabled), `${name}: active at once`);
      steps.forEach(([ms, act, active], i) => {
        mock.timers.tick(ms);
        if (act) act(view);
        assert.ok(buttons.every((button) => button.disabled === !active), `${name}: step ${i}`);
      });
      assert.ok(enabled >= 1, `${name}: onEnabled never ran`);
    } finally {
      mock.timers.reset();
    }
  }
});

test('Tab keeps the focus in the window while the buttons wait, and moves it once they act', () => {
  mock.timers.enable(['setTimeout']);
  try {
    const view = fakeView();
    enableWhenSteady(view, [{disabled: false}], () => {});
    const tab = () => {
      const event = new Event('keydown', {cancelable: true});
      event.key = 'Tab';
      view.document.dispatchEvent(event);
      return event.defaultPrevented;
    };
    assert.equal(tab(), true);
    mock.timers.tick(1000);
    assert.equal(tab(), false);
  } finally {
    mock.timers.reset();
  }
});
