// The machine's keys on the page: one row for a desktop (RETURN, the arrows,
// sticky SHIFT and CTRL, CTRL-C and the Swedish letters), and on a touch
// screen the whole keyboard in the ABC80's order, sized for a thumb. Each
// presses the machine's own key, found in its key table, so the sticky
// SHIFT and CTRL apply as on the machine.
const VkShift = 0x10;
const VkControl = 0x11;

// The ABC80's keys in its rows, by what each types without Shift.
const FullRows = ["1234567890+é<", "qwertyuiopåü", "asdfghjklöä'", "zxcvbnm,.-"];

// [label, attributes, class] of the special keys.
const SpecialKeys = [
  ["RETURN", { vk: 13 }, "wide"],
  ["←", { vk: 8, title: "Left arrow (Backspace)" }],
  ["→", { vk: 39, title: "Right arrow" }],
  ["SHIFT", { sticky: VkShift }],
  ["CTRL", { sticky: VkControl }],
  ["CTRL-C", { chord: "17,67", title: "Ctrl+C stops a running program" }],
];

function button(label, data, className) {
  const b = document.createElement("button");
  b.textContent = label;
  for (const [k, v] of Object.entries(data)) {
    if (k === "title") b.title = v;
    else b.dataset[k] = String(v);
  }
  if (data.sticky) b.setAttribute("aria-pressed", "false");
  if (className) b.className = className;
  return b;
}

// keyboard: keys.js's interface (tap, type); machine for the sticky keys;
// onKey runs before each key (the sound's first gesture).
export function createOnScreenKeys(nav, keyboard, machine, { onKey = () => {}, openSystemKeyboard } = {}) {
  const row = (keys, className) => {
    const r = document.createElement("div");
    r.className = "keyrow " + className;
    for (const k of keys) r.append(k);
    nav.append(r);
    return r;
  };
  // The desktop's row first; on a touch screen it goes below the full rows.
  const special = SpecialKeys.map(([label, data, cls]) => button(label, data, cls));
  const space = button("SPACE", { vk: 32 }, "wide full-only");
  const swedish = [..."ÉÄÖÅÜéäöåü"].map((c) => {
    const b = button(c, { text: c });
    b.classList.add("compact-only");
    return b;
  });
  const system = button("⌨", { title: "Open the system keyboard" });
  system.id = "touch-keyboard";
  row([...special.slice(0, 1), space, ...special.slice(1), ...swedish, system], "main");
  for (const letters of FullRows)
    row(
      // The machine's own key for the character, found in its key table, so
      // that the sticky SHIFT gives what Shift gives on the machine; a
      // character no plain key types is typed as text.
      [...letters].map((c) => {
        const code = machine.machineCode(c.codePointAt(0));
        const key = code > 0 ? machine.keyForCode(code) : 0;
        return key && !(key & 0x100)
          ? button(c.toUpperCase(), { vk: key & 0xff })
          : button(c.toUpperCase(), { text: c });
      }),
      "full",
    );

  const sticky = new Set();
  for (const b of nav.querySelectorAll("button")) {
    b.addEventListener("pointerdown", (event) => event.preventDefault()); // the focus stays on the screen
    b.addEventListener("click", () => {
      onKey();
      const d = b.dataset;
      if (b === system) openSystemKeyboard?.();
      else if (d.sticky) {
        const key = Number(d.sticky);
        const on = !sticky.has(key);
        if (on) sticky.add(key);
        else sticky.delete(key);
        if (on) machine.keyDown(key);
        else machine.keyUp(key);
        b.setAttribute("aria-pressed", String(on));
      } else if (d.chord) keyboard.tap(d.chord.split(",").map(Number));
      else if (d.text) keyboard.type(d.text);
      else if (d.vk) keyboard.tap([Number(d.vk)]);
    });
  }
  // The sticky keys go up with every other key (a lost focus, a reset).
  return {
    release() {
      sticky.clear();
      for (const b of nav.querySelectorAll("[data-sticky]")) b.setAttribute("aria-pressed", "false");
    },
  };
}
