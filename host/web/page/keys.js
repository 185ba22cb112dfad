// The host keyboard as the machine's keyboard.
//
// Natural mode (the default) types the character a key produces on the
// user's layout: the character is looked up in the machine's key table and
// that key is held, with the machine's Shift set as the character needs,
// for as long as the host key is down. Keys that produce no character
// (Return, Backspace, the arrows) and Ctrl combinations go by position.
// Positional mode passes every key by its place on the keyboard, as the
// desktop does, so the machine's own layout applies.

// The positional keyboard is the desktop's physical key table, handed over
// by the module (browser key name, KeyboardEvent.code, to the virtual-key
// code of the ABC80 key in that place); see machine.physicalKeys.

// Keys that produce no character but mean the same in both modes.
const ActionKeyNames = ["Enter", "NumpadEnter", "Backspace", "ArrowLeft", "ArrowRight"];

export const VkShift = 0x10;
export const VkControl = 0x11;

// The machine sees the host's key events in order, one change at a time: a
// key goes down no sooner than DownSpacingFrames after the previous key went
// down, and up no sooner than HoldFrames after it went down. Host events that
// come together (a fast typist, a synthetic event, a key of the on-screen
// row) would otherwise meet the program between two of its reads of the
// keyboard, and a key would be lost.
const DownSpacingFrames = 2;
const HoldFrames = 3;

export function createKeyboard(machine, framesRun) {
  const PositionalKeys = machine.physicalKeys();
  const ActionKeys = Object.fromEntries(
    ActionKeyNames.filter((code) => PositionalKeys[code] !== undefined).map((code) => [code, PositionalKeys[code]]),
  );
  const held = new Map(); // event.code -> { vk, shift, control }
  const queue = []; // { down: bool, key, run } in host order
  let lastDownAt = -Infinity;
  let positional = false;
  let shiftHeld = false; // the machine's Shift as set by natural typing

  // Applies the queued changes whose frame has come; called between frames.
  function service() {
    const now = framesRun();
    while (queue.length) {
      const next = queue[0];
      const ready = next.down
        ? now >= lastDownAt + DownSpacingFrames && !machine.typing()
        : next.key.downAt !== undefined && now >= next.key.downAt + HoldFrames;
      if (!ready) return;
      queue.shift();
      if (next.down) {
        next.key.downAt = now;
        lastDownAt = now;
      }
      next.run();
    }
  }

  const enqueue = (down, key, run) => {
    queue.push({ down, key, run });
    service();
  };

  // Presses keys for the minimum hold (the on-screen keys).
  function tap(vks) {
    const key = {};
    enqueue(true, key, () => vks.forEach((vk) => machine.keyDown(vk)));
    enqueue(false, key, () => vks.forEach((vk) => machine.keyUp(vk)));
  }

  // Types text (already in the machine's codes' terms, see typeText) after the
  // keys before it; keys after it wait until it is typed.
  function type(text) {
    enqueue(true, {}, () => machine.typeText(text));
  }

  function setMachineShift(on) {
    if (on === shiftHeld) return;
    shiftHeld = on;
    if (on) machine.keyDown(VkShift);
    else machine.keyUp(VkShift);
  }

  function naturalKey(event) {
    if (event.ctrlKey && !event.altKey) {
      const vk = PositionalKeys[event.code];
      if (vk === undefined || vk === VkControl || vk === VkShift) return null;
      return { vk, shift: event.shiftKey, control: true };
    }
    if (ActionKeys[event.code] !== undefined) return { vk: ActionKeys[event.code], shift: false };
    if ([...event.key].length !== 1) return null;
    const code = machine.machineCode(event.key.normalize("NFC").codePointAt(0));
    const key = code > 0 ? machine.keyForCode(code) : 0;
    // A code no key makes is typed the way pasted text is.
    if (!key) return code > 0 ? { text: event.key.normalize("NFC") } : null;
    return { vk: key & 0xff, shift: (key & 0x100) !== 0 };
  }

  function down(event) {
    if (event.metaKey || (event.altKey && !event.ctrlKey)) return false;
    if (event.repeat) return held.has(event.code) || PositionalKeys[event.code] !== undefined;
    if (positional) {
      const vk = PositionalKeys[event.code];
      if (vk === undefined) return false;
      const key = { vk };
      held.set(event.code, key);
      enqueue(true, key, () => machine.keyDown(vk));
      return true;
    }
    const key = naturalKey(event);
    if (!key) return false;
    if (key.text) {
      type(key.text);
      return true;
    }
    const previous = held.get(event.code);
    if (previous) release(event.code, previous);
    held.set(event.code, key);
    enqueue(true, key, () => {
      if (key.control) machine.keyDown(VkControl);
      setMachineShift(key.shift);
      machine.keyDown(key.vk);
    });
    return true;
  }

  function release(code, key) {
    held.delete(code);
    enqueue(false, key, () => {
      machine.keyUp(key.vk);
      if (key.control) machine.keyUp(VkControl);
      if (!positional && !queue.some((e) => e.down) && held.size === 0) setMachineShift(false);
    });
  }

  function up(event) {
    const key = held.get(event.code);
    if (!key) return false;
    release(event.code, key);
    return true;
  }

  function releaseAll() {
    held.clear();
    queue.length = 0;
    shiftHeld = false;
    machine.releaseKeys();
  }

  return {
    down,
    up,
    tap,
    type,
    service,
    releaseAll,
    get pending() { return queue.length > 0; },
    get positional() { return positional; },
    set positional(on) { releaseAll(); positional = on; },
  };
}
