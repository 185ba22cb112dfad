// Between the disk card and the drive images: reopening one drive's file,
// flushing it, and the record of host write failures.
#pragma once

#include "media/disk_card.h"

#include <cstdio>

// Flushes (fsync) and closes the drive's old file, then opens DriveNames[drive]
// for reading and writing unless the drive's switch protects it, or for
// reading only when the file may not be written.
void ReopenDriveFile(DiskCard& card, unsigned drive);
void ResetDiskCardTransfer(DiskCard& card);
// fsync of an open drive file; a failure is noted as a write failure.
void FlushDriveFile(unsigned drive, std::FILE* file);
// Counts a failed write on a drive and leaves its message on the standard
// error stream, in the status bar and in LastDiskWriteFailure.
void NoteDiskWriteFailure(unsigned drive, int errnum);
