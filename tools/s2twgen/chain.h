#pragma once

// Build and test time only: zhconv/chain.lock, the one description of what the conversion is
// compiled from (see the comment at its top).

#include <string>
#include <vector>

namespace lumo::zhconv {

class Chain {
  public:
    struct File {
        std::string step;    // normalise, phrases, characters, variant-phrases, variants, words, licence
        std::string package; // npm package name
        std::string path;    // where the file is: DATA_DIR/NAME-VERSION/package/PATH
        std::string sha256;
    };

    /// Reads the description at `lockPath`; its files are looked for under `dataDir`. Throws
    /// std::runtime_error naming the line that is not understood.
    Chain(const std::string &lockPath, const std::string &dataDir);

    /// The files of one step, in the order the description gives them.
    std::vector<File> Files(const std::string &step) const;

    /// The files of a step that must have at least one. Throws when it has none.
    std::vector<File> Required(const std::string &step) const;

  private:
    std::string lockPath_;
    std::vector<File> files_;
};

} // namespace lumo::zhconv
