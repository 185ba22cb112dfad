// The disk drives on the page: images attached from files or made blank with
// New disk, a write-protect switch per drive, downloads of the images as the
// machine has written them, and the images kept in the browser (IndexedDB)
// so that a disk the machine wrote is there again after a reload.
//
// A kept image is stored under "disk:DRn" as { name, bytes } whenever the
// machine has written sectors to it since it was last kept (checked twice a
// second) and when it is attached; ejecting a drive downloads the image and
// forgets it.

const ShownDrives = 2; // DR0 and DR1 have controls; DR2 and DR3 take dropped images
const KeepInterval = 500; // ms between checks for written sectors
const keyOf = (drive) => `disk:DR${drive}`;

export function setupDisks({ machine, $, showMessage, download, stored, focus, drives }) {
  const keptWrites = new Array(drives).fill(-1); // sectors written when last kept

  async function keep(drive) {
    const name = machine.diskName(drive);
    if (!name) return;
    const bytes = machine.diskImage(drive);
    if (!bytes) return;
    keptWrites[drive] = machine.diskWrites(drive);
    try {
      await stored.put(keyOf(drive), { name, bytes: new Uint8Array(bytes) });
    } catch (error) {
      showMessage(`DR${drive}: ${name} could not be kept in this browser (${error?.message ?? error}); Save disks downloads it.`);
    }
  }

  async function forget(drive) {
    keptWrites[drive] = -1;
    try {
      await stored.remove(keyOf(drive));
    } catch {
      // Nothing kept, or no store: nothing to forget.
    }
  }

  function show() {
    const names = [];
    for (let d = 0; d < drives; d++) {
      const name = machine.diskName(d);
      if (name) names.push(`DR${d}: ${name}${machine.writeProtected(d) ? " (WP)" : ""}`);
    }
    $("status-disks").textContent = names.join("  ");
    $("save-disks").hidden = names.length === 0;
    for (let d = 0; d < ShownDrives; d++) {
      $(`protect-${d}`).checked = machine.writeProtected(d);
      $(`eject-${d}`).hidden = !machine.diskName(d);
    }
  }

  function attach(name, bytes, drive = machine.freeDrive()) {
    const attached = machine.attachDisk(drive, name, bytes);
    showMessage(machine.message());
    if (attached) keep(drive);
    show();
    focus();
    return attached;
  }

  $("new-disk").addEventListener("click", () => {
    const drive = machine.freeDrive();
    let n = 1;
    const inUse = new Set();
    for (let d = 0; d < drives; d++) inUse.add(machine.diskName(d));
    while (inUse.has(`disk${n}.dsk`)) n++;
    if (machine.newDisk(drive, `disk${n}.dsk`)) keep(drive);
    showMessage(machine.message());
    show();
    focus();
  });

  for (let d = 0; d < ShownDrives; d++) {
    $(`protect-${d}`).addEventListener("change", (event) => {
      machine.setWriteProtect(d, event.target.checked);
      showMessage(
        event.target.checked
          ? `DR${d} write-protected.`
          : machine.writeProtected(d)
            ? `DR${d} stays write-protected.`
            : `DR${d} writable.`,
      );
      show();
      focus();
    });
    $(`eject-${d}`).addEventListener("click", () => {
      const name = machine.diskName(d);
      // The browser may hold the only copy (a new disk, or one written in an
      // earlier visit): an image leaves as a download, never lost.
      const bytes = name ? machine.diskImage(d) : null;
      if (bytes) download(name, bytes);
      machine.detachDisk(d);
      forget(d);
      showMessage(name ? `DR${d} is empty; ${name} was downloaded as it stood.` : `DR${d} was empty.`);
      show();
      focus();
    });
  }

  $("save-disks").addEventListener("click", () => {
    for (let d = 0; d < drives; d++) {
      const bytes = machine.diskImage(d);
      if (bytes) download(machine.diskName(d), bytes);
    }
    showMessage("Disk images saved.");
  });

  // Written sectors are kept in the browser within half a second.
  setInterval(() => {
    for (let d = 0; d < drives; d++)
      if (machine.diskName(d) && machine.diskWrites(d) !== keptWrites[d]) keep(d);
  }, KeepInterval);

  // The disks kept by an earlier visit go back into their drives.
  async function restore() {
    for (let d = 0; d < drives; d++) {
      let kept;
      try {
        kept = await stored.get(keyOf(d));
      } catch {
        return;
      }
      if (kept?.name && kept.bytes && !machine.diskName(d)) {
        if (machine.attachDisk(d, kept.name, kept.bytes)) keptWrites[d] = machine.diskWrites(d);
      }
    }
    show();
  }

  return { attach, show, restore };
}
