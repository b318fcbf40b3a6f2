// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArrayView>
#include <QString>

namespace morvanta::workshop {

// How long the status bar says that a file was saved, opened or copied: long enough to read twice.
inline constexpr int kStatusMilliseconds = 8000;

// What became of a save: done, or the reason in the system's own words, ready to be shown as
// "Could not save PATH: REASON".
struct SaveOutcome {
    bool saved = false;
    QString reason;
};

// Writes the bytes to a file the user keeps, as a new file beside it that is then renamed over it,
// so that a full disk, a crash or a power cut leaves the old file whole, and no new file is left
// behind on failure. Only a regular file is replaced (a link to one replaces the file it names);
// anything else at the path (a folder, a device, a pipe) is refused and left alone.
//   saveFile("/tmp/x.csv", "hole,angle\n") -> {true, ""}
//   saveFile("/dev/null", "...") -> {false, "it is not a regular file"}
//   on a full disk -> {false, "No space left on device"}, the old file as it was
SaveOutcome saveFile(const QString& path, QByteArrayView bytes);

// Why a file could not be written at the path, in the system's own words, or "" when it can. The
// folders it needs are made, as writing it would make them; a file made only to find out is
// removed again.
//   whyNotWritable("/home/ann/.config/Morvanta/x.conf") -> ""
//   with ~/.config a plain file -> "Not a directory"
//   on a read-only disk -> "Read-only file system"
QString whyNotWritable(const QString& path);

}  // namespace morvanta::workshop
