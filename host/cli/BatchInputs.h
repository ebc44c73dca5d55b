// The photographs of a batch: INPUTs expanded (a folder gives the photographs
// directly in it), checked for outputs that would collide, cut into the
// slice a shard does, and where each one's outputs go.
#ifndef LUMACUT_HOST_BATCH_INPUTS_H
#define LUMACUT_HOST_BATCH_INPUTS_H

#include <string>
#include <vector>

#include "CommandLine.h"

// A name the readers take, by its extension in any case: .jpg, .png, .tif, ...
bool IsPhotographName(const std::string& name);

// Every photograph of `inputs`, in their order; a folder's are sorted by
// name and leave out hidden files and sub-folders' contents. A file given
// is taken whatever it is: reading it says what is wrong with it. False
// with a message for a folder without photographs, or for two photographs
// whose outputs would have the same name.
bool ListPhotographs(const std::vector<std::string>& inputs, std::vector<std::string>& photos, std::string& error);

// The Kth of N slices: every Nth photograph from the Kth, so that slices
// stay even and the same inputs always give the same slice.
std::vector<std::string> ShardOf(const std::vector<std::string>& photos, int index, int count);

// The file name without its folder and its last extension.
std::string StemOf(const std::string& path);

// The files a photograph's run writes: a batch's DIR/STEM/ (--all) or
// DIR/STEM.png, and one photograph's --out DIR or --mask FILE.
std::vector<std::string> OutputsOf(const CommandLine& line, const std::string& photo);

// The folder OutputsOf puts under --out for a batch's photograph (--all).
std::string PhotoFolderOf(const CommandLine& line, const std::string& photo);

// True when every output is there. Outputs are written whole or not at
// all, so a file that is there is complete.
bool OutputsExist(const std::vector<std::string>& outputs);

#endif
