// The machine in the WebAssembly module, behind small JavaScript functions.
import createOrvane from "./orvane.mjs";

// The loaders' diagnostic lines ("ROM file ... ignored") reach the console
// only when asked for: ?log in the address, or localStorage orvaneLog = 1.
const logWanted = () => {
  try {
    return new URLSearchParams(location.search).has("log") || localStorage.getItem("orvaneLog") === "1";
  } catch {
    return false;
  }
};

export async function loadMachine() {
  const print = logWanted() ? (t) => console.log(t) : () => {};
  const m = await createOrvane({ print, printErr: print });
  const text = (ptr) => m.UTF8ToString(ptr);

  // Copies bytes into the module for one call, then frees them.
  function withBytes(bytes, fn) {
    const ptr = m._malloc(Math.max(1, bytes.length));
    m.HEAPU8.set(bytes, ptr);
    try {
      return fn(ptr, bytes.length);
    } finally {
      m._free(ptr);
    }
  }
  function withString(s, fn) {
    const n = m.lengthBytesUTF8(s) + 1;
    const ptr = m._malloc(n);
    m.stringToUTF8(s, ptr, n);
    try {
      return fn(ptr);
    } finally {
      m._free(ptr);
    }
  }
  const output = (size) => (size < 0 ? null : m.HEAPU8.slice(m._orvane_output(), m._orvane_output() + size));

  m._orvane_start();
  return {
    module: m,
    runFrames: (n) => m._orvane_run_frames(n),
    // Back to the snapshot before the machine's moment, its picture shown; false at the oldest.
    rewindStep: () => m._orvane_rewind_step() === 1,
    setTiming: (cycleExact) => m._orvane_set_timing(cycleExact ? 1 : 0),
    picture() {
      const width = m._orvane_picture_width();
      const height = m._orvane_picture_height();
      return { width, height, pixels: m.HEAPU8.subarray(m._orvane_picture(), m._orvane_picture() + width * height) };
    },
    pictureChanged: () => m._orvane_picture_changed() !== 0,
    // The picture as ImageData over the module's memory (valid until the next call).
    pictureImage() {
      const width = m._orvane_picture_width();
      const height = m._orvane_picture_height();
      const ptr = m._orvane_picture_rgba();
      return new ImageData(new Uint8ClampedArray(m.HEAPU8.buffer, ptr, width * height * 4), width, height);
    },
    keyDown: (vk) => m._orvane_key_down(vk),
    keyUp: (vk) => m._orvane_key_up(vk),
    releaseKeys: () => m._orvane_release_keys(),
    keyForCode: (code) => m._orvane_key_for_code(code),
    // Browser key name (KeyboardEvent.code) -> virtual-key code, as the desktop maps the keys.
    physicalKeys() {
      const keys = {};
      for (let i = 0; i < m._orvane_physical_key_count(); i++) keys[text(m._orvane_physical_key_name(i))] = m._orvane_physical_key_vk(i);
      return keys;
    },
    // The note about characters of a text the machine cannot show ("" when none).
    droppedNote: (s) => withString(s, (p) => text(m._orvane_dropped_note(p))),
    // { plain, shifted } machine codes of the key at a host key's place, or null.
    keyChars: (vk) => {
      const both = m._orvane_key_chars(vk);
      return both ? { plain: both & 0xff, shifted: (both >> 8) & 0xff } : null;
    },
    machineCode: (character) => m._orvane_machine_code(character),
    typeText: (s) => withString(s, (p) => m._orvane_type_text(p)),
    typing: () => m._orvane_typing() !== 0,
    typingLeft: () => m._orvane_typing_left(),
    programRoom: () => m._orvane_program_room() >>> 0,
    loadFile: (name, bytes, autostart) =>
      withString(name, (np) => withBytes(bytes, (bp, n) => m._orvane_load_file(np, bp, n, autostart ? 1 : 0))) === 1,
    // True when the image was taken; message() says why not.
    installRom: (name, bytes) =>
      withString(name, (np) => withBytes(bytes, (bp, n) => m._orvane_install_rom(np, bp, n))) === 1,
    forgetRoms: () => m._orvane_forget_roms(),
    romsInstalled: () => m._orvane_roms_installed() !== 0,
    chooseBasic: (choice) => m._orvane_choose_basic(choice),
    chooseDos: (choice) => m._orvane_choose_dos(choice),
    basicChoice: () => m._orvane_basic_choice(),
    dosChoice: () => m._orvane_dos_choice(),
    saveBac: () => output(m._orvane_save_bac()),
    mediaError: () => text(m._orvane_media_error()),
    // What the last load, disk attach or fast tape change said, in the desktop's words.
    message: () => text(m._orvane_message()),
    startTapeRecording: () => m._orvane_start_tape_recording() === 1,
    stopTapeRecording: () => output(m._orvane_stop_tape_recording()),
    tapeRecording: () => m._orvane_tape_recording() !== 0,
    tapePlaying: () => m._orvane_tape_playing() !== 0,
    tapeMotor: () => m._orvane_tape_motor() !== 0,
    tapeMoving: () => m._orvane_tape_moving() !== 0,
    // Fast tape as the deck and the choice say: true while it lasts.
    followFastTape: (enabled) => m._orvane_follow_fast_tape(enabled ? 1 : 0) === 1,
    closeTape: () => m._orvane_close_tape(),
    attachDisk: (drive, name, bytes) =>
      withString(name, (np) => withBytes(bytes, (bp, n) => m._orvane_attach_disk(drive, np, bp, n))) === 1,
    detachDisk: (drive) => m._orvane_detach_disk(drive),
    freeDrive: () => m._orvane_free_drive(),
    diskImage: (drive) => output(m._orvane_disk_image(drive)),
    diskName: (drive) => text(m._orvane_disk_name(drive)),
    newDisk: (drive, name) => withString(name, (np) => m._orvane_new_disk(drive, np)) === 1,
    setWriteProtect: (drive, on) => m._orvane_set_write_protect(drive, on ? 1 : 0),
    writeProtected: (drive) => m._orvane_write_protected(drive) === 1,
    // Sectors the machine has written to the drive's image since it was attached.
    diskWrites: (drive) => m._orvane_disk_writes(drive),
    reset: () => m._orvane_reset(),
    hardReset: () => m._orvane_hard_reset(),
    screenText: () => text(m._orvane_screen_text()),
    statusField: (i) => text(m._orvane_status_field(i)),
    statusChanges: () => m._orvane_status_changes(),
    statusFieldChanges: (i) => m._orvane_status_field_changes(i),
    romDescription: () => text(m._orvane_rom_description()),
    memory: () => m.HEAPU8.subarray(m._orvane_memory(), m._orvane_memory() + 65536),
    cycles: () => m._orvane_cycles(),
    // Save states, when the module has them: the state's bytes, or null.
    hasStates: typeof m._orvane_save_state === "function",
    saveState: () => output(m._orvane_save_state()),
    // { ok, message }: refused states leave the machine as it was.
    loadState: (bytes) => {
      const ok = withBytes(bytes, (p, n) => m._orvane_load_state(p, n)) === 1;
      return { ok, message: text(m._orvane_state_message()) };
    },
    soundStart: () => m._orvane_sound_start(),
    soundRing: () => new Int16Array(m.HEAPU8.buffer, m._orvane_sound_ring(), 48000),
    soundWritten: () => m._orvane_sound_written(),
    soundBlocks: () => m._orvane_sound_blocks() >>> 0,
    soundPlayed: (pos) => m._orvane_sound_played(pos),
    soundPause: (paused) => m._orvane_sound_pause(paused ? 1 : 0),
  };
}
