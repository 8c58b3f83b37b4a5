#include "tools/s2twgen/chain.h"

#include <fstream>
#include <map>
#include <sstream>
#include <stdexcept>

namespace lumo::zhconv {

Chain::Chain(const std::string &lockPath, const std::string &dataDir) : lockPath_(lockPath)
{
    std::ifstream in(lockPath);
    if (!in)
        throw std::runtime_error("cannot read " + lockPath);
    static const char *const kSteps[] = {"normalise", "phrases", "characters", "variant-phrases",
                                         "variants",  "words",   "licence"};
    std::map<std::string, std::string> versions;
    std::vector<File> files;
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (line.empty() || line[0] == '#')
            continue;
        std::istringstream fields(line);
        std::string step, name, a, b, extra;
        if (!(fields >> step >> name >> a >> b) || (fields >> extra))
            throw std::runtime_error(lockPath + ":" + std::to_string(number) + ": not STEP NAME PATH HASH");
        if (step == "package") {
            versions[name] = a;
            continue;
        }
        bool known = false;
        for (const char *s : kSteps)
            known = known || step == s;
        if (!known)
            throw std::runtime_error(lockPath + ":" + std::to_string(number) + ": unknown step " + step);
        if (b.size() != 64 || b.find_first_not_of("0123456789abcdef") != std::string::npos)
            throw std::runtime_error(lockPath + ":" + std::to_string(number) + ": " + a +
                                     " is not pinned by a sha256");
        files.push_back({step, name, a, b});
    }
    for (File &file : files) {
        const auto version = versions.find(file.package);
        if (version == versions.end())
            throw std::runtime_error(lockPath + ": " + file.path + " belongs to " + file.package +
                                     ", which no package line pins");
        file.path = dataDir + "/" + file.package + "-" + version->second + "/package/" + file.path;
    }
    files_ = std::move(files);
}

std::vector<Chain::File> Chain::Files(const std::string &step) const
{
    std::vector<File> out;
    for (const File &file : files_)
        if (file.step == step)
            out.push_back(file);
    return out;
}

std::vector<Chain::File> Chain::Required(const std::string &step) const
{
    std::vector<File> out = Files(step);
    if (out.empty())
        throw std::runtime_error(lockPath_ + " names no file for the step " + step);
    return out;
}

} // namespace lumo::zhconv
