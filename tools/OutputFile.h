// A file named on the command line for the tool to write, such as the
// picture of `zorvane show --svg`: written where it is told. "-" is standard
// output. A regular file (or none yet) is replaced atomically; a symlink is
// written through, its target replaced in the target's folder, and the link
// itself left as it is. A directory, FIFO, device or socket is refused: the
// tool would otherwise replace it by a file, or wait on it.
#pragma once

#include <string>
#include <string_view>

namespace zv::tools {

struct OutputFile {
    std::string path;     // the file that is written ("-" for standard output), symlinks followed
    std::string problem;  // why it cannot be written; empty when it can
};

// Where bytes for `path` go, found before anything is made, so a refused
// path costs nothing else.
OutputFile resolveOutputFile(const std::string& path);

// Writes the whole of `bytes`; false with `problem` set on failure.
bool writeOutputFile(const OutputFile& file, std::string_view bytes, std::string& problem);

}  // namespace zv::tools
