// Benchmark notebooks: .exb files of a chosen size whose notes look like a heavy user's.
#pragma once

#include <string>

namespace bench {

// What one generated notebook holds; the figures the benchmark reports are per note.
struct NotebookShape {
    int notes = 0;
    int notebooks = 6;           // two in each of three stacks
    int tags = 200;              // three levels deep
    int tagsPerNote = 3;
    int bodyBytes = 4096;        // about; the page around the text adds a little
    int imagesPerNote = 2;
    int imageBytes = 30 * 1024;  // about: each image is 10% either way
    int attachmentEvery = 10;    // one note in ten has a PDF attachment
    int attachmentBytes = 200 * 1024;
};

struct NotebookTotals {
    long long notes = 0, images = 0, attachments = 0, tags = 0;
    long long bodyBytes = 0, blobBytes = 0;
};

// Writes the notebook to path, replacing a file that is there. The content depends only on the
// shape and the seed, so two runs make the same file. False with a reason in error.
bool WriteBenchNotebook(const std::wstring& path, const NotebookShape& shape, unsigned seed, NotebookTotals* totals,
                        std::string* error);

}  // namespace bench
