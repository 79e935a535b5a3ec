// Buttons that take no input until their window has been visible and focused for
// a while, as browsers' own permission prompts do: a page cannot have the user
// press them by typing or clicking fast where the window opens. The wait starts
// again whenever the window loses the focus or is hidden.

export const STEADY_MS = 1000;

// view: the window (focus, blur); view.document (visibilityState, hasFocus,
// visibilitychange). onEnabled runs each time the buttons become active.
export function enableWhenSteady(view, buttons, onEnabled, {delayMs = STEADY_MS, timers = globalThis} = {}) {
  const doc = view.document;
  let timer = null;
  let active = false;
  const setActive = (value) => {
    active = value;
    for (const button of buttons) button.disabled = !value;
  };
  const hold = () => {
    timers.clearTimeout(timer);
    timer = null;
    setActive(false);
  };
  const wait = () => {
    hold();
    if (doc.visibilityState !== 'visible' || !doc.hasFocus()) return;
    timer = timers.setTimeout(() => {
      timer = null;
      setActive(true);
      onEnabled();
    }, delayMs);
  };
  // Focus events of the buttons do not bubble: these are the window's own.
  view.addEventListener('focus', wait);
  view.addEventListener('blur', hold);
  doc.addEventListener('visibilitychange', wait);
  // With nothing to take it, Tab would move the focus out of the window and start
  // the wait again: keys typed into the window while it waits stay there.
  doc.addEventListener('keydown', (event) => {
    if (event.key === 'Tab' && !active) event.preventDefault();
  });
  wait();
}
