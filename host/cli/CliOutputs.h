// Every file lumacut-host makes goes out the same way: whole or not at all
// (WriteAtomically), and a line is said once it is in place. The writers
// return the error rather than print it, since they also run on the writer
// threads, where only the command may decide what a failure ends.
#ifndef LUMACUT_HOST_CLI_OUTPUTS_H
#define LUMACUT_HOST_CLI_OUTPUTS_H

#include <functional>
#include <string>

#include "host/common/OutputFiles.h"
#include "host/engine/Plane.h"
#include "host/image/ImageFile.h"

struct PngTimes;

// The line said for a file in place, given how long writing it took; an
// empty one says nothing (a batch speaks per photograph, not per file).
using DoneLine = std::function<std::string(double writeMilliseconds)>;

// "wrote PATH".
DoneLine Wrote(const std::string& path);

// An empty string once the file is in place and `done` said, the one-line
// error otherwise.
std::string WriteOutput(const std::string& path, const FileWriter& write, const DoneLine& done);
std::string WritePicture(const std::string& path, const RgbImage& picture, const DoneLine& done);
// `times`, when given, has the mask's filter and deflate times once `done` is called.
std::string WriteMaskPicture(const std::string& path, const Plane& mask, const DoneLine& done,
                             PngTimes* times = nullptr);
std::string WriteText(const std::string& path, const std::string& text, const DoneLine& done);

// kExitOk for no error; kExitInputOutput after saying the error.
int ExitFor(const std::string& error);

// The output folder of a command that writes several files, made only once
// everything it needs has been read, so that a refusal leaves nothing.
int MakeOutFolder(const std::string& folder);

#endif
