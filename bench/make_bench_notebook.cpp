// make_bench_notebook: writes a benchmark notebook of N notes (make_bench_notebook FILE.exb N [SEED]).
#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_notebook.h"

int wmain(int argc, wchar_t** argv) {
    if (argc < 3 || argc > 4 || _wtoi(argv[2]) < 0) {
        std::fprintf(stderr, "usage: make_bench_notebook <file.exb> <notes> [seed]\n");
        return 2;
    }
    bench::NotebookShape shape;
    shape.notes = _wtoi(argv[2]);
    const unsigned seed = argc == 4 ? static_cast<unsigned>(_wtoi(argv[3])) : 1;
    bench::NotebookTotals totals;
    std::string error;
    if (!bench::WriteBenchNotebook(argv[1], shape, seed, &totals, &error)) {
        std::fprintf(stderr, "make_bench_notebook: %s\n", error.c_str());
        return 1;
    }
    std::printf("notes: %lld\nimages: %lld\nattachments: %lld\ntags: %lld\nbody-bytes: %lld\nblob-bytes: %lld\n",
                totals.notes, totals.images, totals.attachments, totals.tags, totals.bodyBytes, totals.blobBytes);
    return 0;
}
