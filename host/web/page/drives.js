// The four drives DR0-DR3 on the page: a row each in the More menu with the
// image's name, Attach…, a Protect box (the drive's write-protect switch:
// writes refused with error 64) and Eject, the names on the status line
// ("(WP)" after a protected drive), New disk and Save disks. A dropped or
// opened image goes to the first empty drive; with all four in use it is
// refused rather than put in place of one.
//
// Images the browser may hold the only copy of are kept in IndexedDB under
// "disk:DRn" as { name, bytes }: a New disk, and any image the machine has
// written to (checked twice a second). A reload puts them back into their
// drives. Ejecting such an image downloads it first, then forgets it.
import { download, stored } from "./files.js";

export const DriveCount = 4;
const KeepInterval = 500; // ms between checks for written sectors
const keyOf = (drive) => `disk:DR${drive}`;

export function createDrives(machine, { show, done }) {
  const $ = (id) => document.getElementById(id);
  const fieldset = $("drives");
  const input = $("disk-input");
  let target = 0; // the drive Attach… was pressed for
  const rows = [];
  // Per drive: whether the browser holds the only copy, and the sectors
  // written when it was last kept.
  const kept = Array.from({ length: DriveCount }, () => ({ only: false, writes: 0 }));

  async function keep(d) {
    const name = machine.diskName(d);
    const bytes = name ? machine.diskImage(d) : null;
    if (!bytes) return;
    kept[d] = { only: true, writes: machine.diskWrites(d) };
    try {
      await stored.put(keyOf(d), { name, bytes: new Uint8Array(bytes) });
    } catch (error) {
      show(`${name} in DR${d} could not be kept in this browser (${error?.message ?? error}); Save disks downloads it.`);
    }
  }

  async function forget(d) {
    kept[d] = { only: false, writes: 0 };
    try {
      await stored.remove(keyOf(d));
    } catch {
      // Nothing kept, or no store: nothing to forget.
    }
  }

  for (let d = 0; d < DriveCount; d++) {
    const label = document.createElement("span");
    label.textContent = `DR${d}:`;
    const name = document.createElement("span");
    name.className = "name";
    const attach = document.createElement("button");
    attach.textContent = "Attach…";
    attach.id = `attach-dr${d}`;
    const protect = document.createElement("label");
    protect.title = "The drive refuses writes (error 64)";
    const protectBox = document.createElement("input");
    protectBox.type = "checkbox";
    protectBox.id = `protect-dr${d}`;
    protect.append(protectBox, " Protect");
    protectBox.addEventListener("change", () => {
      machine.setWriteProtect(d, protectBox.checked);
      showDrives();
      show(
        protectBox.checked
          ? `DR${d} write-protected.`
          : machine.writeProtected(d)
            ? `DR${d} stays write-protected: its image cannot be written.`
            : `DR${d} writable.`,
      );
      done();
    });
    const eject = document.createElement("button");
    eject.textContent = "Eject";
    eject.id = `eject-dr${d}`;
    attach.addEventListener("click", () => {
      target = d;
      input.click();
    });
    eject.addEventListener("click", () => {
      const was = machine.diskName(d);
      // The browser's copy may be the only one: it leaves as a download.
      const only = was && (kept[d].only || machine.diskWrites(d) > 0);
      if (only) download(was, machine.diskImage(d));
      machine.detachDisk(d);
      forget(d);
      showDrives();
      show(!was ? `DR${d} is empty.` : only ? `${was} ejected from DR${d} and downloaded as it stood.` : `${was} ejected from DR${d}.`);
      done();
    });
    fieldset.append(label, name, attach, protect, eject);
    rows.push({ name, eject, protectBox });
  }

  function showDrives() {
    const names = [];
    for (let d = 0; d < DriveCount; d++) {
      const n = machine.diskName(d);
      rows[d].name.textContent = n || "empty";
      rows[d].eject.disabled = !n;
      rows[d].protectBox.checked = machine.writeProtected(d);
      if (n) names.push(`DR${d}: ${n}${machine.writeProtected(d) ? " (WP)" : ""}`);
    }
    $("status-disks").textContent = names.join("  ");
    $("save-disks").hidden = names.length === 0;
  }

  // Attaches bytes to drive (null: the first empty one). True when attached.
  function attach(drive, name, bytes) {
    if (drive === null) {
      drive = machine.freeDrive();
      if (machine.diskName(drive)) {
        show(`Cannot attach ${name}: all four drives hold a disk; eject one first (More, Disks).`);
        done();
        return false;
      }
    }
    const ok = machine.attachDisk(drive, name, bytes);
    if (ok) forget(drive); // a copy kept for the image it replaced
    show(machine.message());
    showDrives();
    done();
    return ok;
  }

  input.addEventListener("change", async () => {
    const file = input.files[0];
    input.value = "";
    if (file) attach(target, file.name, new Uint8Array(await file.arrayBuffer()));
  });

  // A new disk, formatted for the open DOS, in the first empty drive.
  $("new-disk").addEventListener("click", () => {
    const drive = machine.freeDrive();
    if (machine.diskName(drive)) {
      show("No drive is empty for a new disk; eject one first.");
      done();
      return;
    }
    const names = new Set();
    for (let d = 0; d < DriveCount; d++) names.add(machine.diskName(d));
    let n = 1;
    while (names.has(`disk${n}.dsk`)) n++;
    if (machine.newDisk(drive, `disk${n}.dsk`)) keep(drive);
    show(machine.message());
    showDrives();
    done();
  });

  // Written sectors are kept in the browser within half a second.
  setInterval(() => {
    for (let d = 0; d < DriveCount; d++) {
      const writes = machine.diskName(d) ? machine.diskWrites(d) : 0;
      if (writes > 0 && (!kept[d].only || writes !== kept[d].writes)) keep(d);
    }
  }, KeepInterval);

  // The disks kept by an earlier visit go back into their drives.
  async function restore() {
    for (let d = 0; d < DriveCount; d++) {
      let saved;
      try {
        saved = await stored.get(keyOf(d));
      } catch {
        break;
      }
      if (saved?.name && saved.bytes && !machine.diskName(d) && machine.attachDisk(d, saved.name, saved.bytes))
        kept[d] = { only: true, writes: 0 };
    }
    showDrives();
  }

  $("save-disks").addEventListener("click", () => {
    for (let d = 0; d < DriveCount; d++) {
      const bytes = machine.diskImage(d);
      if (bytes) download(machine.diskName(d), bytes);
    }
    show("Disk images saved.");
  });

  return { attach, show: showDrives, restore };
}
