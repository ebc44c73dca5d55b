// A descriptor kept in a small text file, the way a host action keeps a
// recorded step's parameters: saved after a run, loaded as the parameters
// of a later run. The file holds the descriptor's printed form (ActionText.h)
// on one line; lines starting with '#' are comments.
#ifndef LUMACUT_HOST_DESCRIPTOR_FILE_H
#define LUMACUT_HOST_DESCRIPTOR_FILE_H

#include <cstddef>
#include <optional>
#include <string>

#include "ActionValues.h"
#include "entry/interface/HostInterface.h"

class ActionsHost;

// A recorded descriptor is a handful of keys; a file much larger is not one
// of ours and is refused before it is read into memory.
constexpr std::size_t kMaxDescriptorFileBytes = std::size_t{1} << 20;

// What such a file holds, and the descriptor read back from it (`name`
// starts a failure's message, which says where in the text it failed).
std::string DescriptorFileText(const DescriptorValue& descriptor);
std::optional<DescriptorValue> ParseDescriptorFileText(const std::string& content, const std::string& name,
                                                       std::string* error);

// False with `error` set when the file cannot be written.
bool SaveDescriptorFile(const std::string& path, const DescriptorValue& descriptor, std::string* error);

// Nothing, with `error` set in one line, when the file cannot be read, is
// not a regular file (nothing is waited on) or is not a descriptor.
std::optional<DescriptorValue> LoadDescriptorFile(const std::string& path, std::string* error);

// Saves the content of a live descriptor handle.
bool SaveDescriptorHandle(const ActionsHost& actions, ActionDescriptor descriptor, const std::string& path,
                          std::string* error);

// A new host-owned descriptor handle holding what the file holds, ready to
// pass as a run's parameters; null, with `error` set, when loading fails.
ActionDescriptor LoadDescriptorHandle(ActionsHost& actions, const std::string& path, std::string* error);

#endif
