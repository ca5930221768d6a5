// zdapack: packs files into a ZDA archive for the game.
//   zdapack OUT.zda NAME=FILE [NAME=FILE]...
// NAME is the member's full name as the game asks for it ("blocks.bmp", "trobz301.bin").
// Fails with a clear message on a missing or empty file, a name over 39 characters or
// a name given twice, so that a broken asset stops the build.
#include "zda_writer.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: zdapack OUT.zda NAME=FILE [NAME=FILE]...\n");
        return 2;
    }
    std::vector<ZdaMember> members;
    std::set<std::string> seen;
    for (int i = 2; i < argc; i++) {
        std::string arg = argv[i];
        size_t eq = arg.find('=');
        if (eq == std::string::npos) {
            std::fprintf(stderr, "zdapack: argument \"%s\" is not NAME=FILE\n", argv[i]);
            return 1;
        }
        ZdaMember m;
        m.name = arg.substr(0, eq);
        std::string path = arg.substr(eq + 1);
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "zdapack: cannot read %s (member %s)\n", path.c_str(),
                         m.name.c_str());
            return 1;
        }
        m.data.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        std::string problem = zdaMemberProblem(m);
        if (!problem.empty()) {
            std::fprintf(stderr, "zdapack: %s: %s\n", path.c_str(), problem.c_str());
            return 1;
        }
        if (!seen.insert(m.name).second) {
            std::fprintf(stderr, "zdapack: member %s given twice\n", m.name.c_str());
            return 1;
        }
        members.push_back(std::move(m));
    }
    std::string why;
    if (!writeZDA(argv[1], members, &why)) {
        std::fprintf(stderr, "zdapack: %s\n", why.c_str());
        return 1;
    }
    return 0;
}
