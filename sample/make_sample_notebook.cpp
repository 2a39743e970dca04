// make_sample_notebook: writes the bundled sample Evernote notebook (.exb) to the given path.
#include <cstdio>
#include <string>

#include "sample_notebook.h"

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_sample_notebook <file.exb>\n");
        return 2;
    }
    std::string error;
    if (!sample::WriteSampleNotebook(argv[1], &error)) {
        std::fprintf(stderr, "make_sample_notebook: %s\n", error.c_str());
        return 1;
    }
    std::printf("make_sample_notebook: wrote %ls\n", argv[1]);
    return 0;
}
