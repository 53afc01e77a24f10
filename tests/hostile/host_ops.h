#pragma once

// Staging that the shared test tree cannot do: trees deeper than any path
// the system's plain calls accept, and very wide folders. Everything goes
// through the system's own calls (relative to an open folder natively,
// extended-length paths on Windows), never through the layer under test.

#include <string>

namespace hostile {

// Makes `depth` folders, each named `segment` inside the one before, below
// the existing folder `windows_folder`; returns the deepest one's path.
std::string MakeChain(const std::string& windows_folder, int depth, const std::string& segment);

// Writes a file at `windows_path`, whose folder exists, at any path length.
void WriteFileAnyLength(const std::string& windows_path, const std::string& content);

// Reads a file at any path length; throws when it cannot.
std::string ReadFileAnyLength(const std::string& windows_path);

// Makes `count` empty files "<prefix><number>" in the existing folder.
void MakeEmptyFiles(const std::string& windows_folder, int count, const std::string& prefix);

// Removes a folder with everything below it, at any depth.
void RemoveAnyDepth(const std::string& windows_folder);

}  // namespace hostile
