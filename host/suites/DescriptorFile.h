// A descriptor kept in a small text file, the way a host action keeps a
// recorded step's parameters: saved after a run, loaded as the parameters
// of a later run. The file holds the descriptor's printed form (ActionText.h)
// on one line; lines starting with '#' are comments.
#ifndef LUMACUT_HOST_DESCRIPTOR_FILE_H
#define LUMACUT_HOST_DESCRIPTOR_FILE_H

#include <optional>
#include <string>

#include "ActionValues.h"
#include "entry/interface/HostInterface.h"

class ActionsHost;

// False with `error` set when the file cannot be written.
bool SaveDescriptorFile(const std::string& path, const DescriptorValue& descriptor, std::string* error);

// Nothing, with `error` set, when the file cannot be read or is not a
// descriptor.
std::optional<DescriptorValue> LoadDescriptorFile(const std::string& path, std::string* error);

// Saves the content of a live descriptor handle.
bool SaveDescriptorHandle(const ActionsHost& actions, ActionDescriptor descriptor, const std::string& path,
                          std::string* error);

// A new host-owned descriptor handle holding what the file holds, ready to
// pass as a run's parameters; null, with `error` set, when loading fails.
ActionDescriptor LoadDescriptorHandle(ActionsHost& actions, const std::string& path, std::string* error);

#endif
