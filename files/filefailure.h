#pragma once

#include <QString>

// Why a file could not be read or written. Windows turn it into translated
// text, velkan-cli into its English message; the file layer never words it.
enum class FileProblem {
    None,
    NoName,           // no file was named
    Unreadable,       // the system would not read it (detail says why)
    TooLarge,         // far larger than any configuration
    NotText,          // holds bytes no text file has
    Unwritable,       // the system would not write it (detail says why)
    NotConfiguration, // readable, but no configuration of this product
    NotReplaced,      // a save found another kind of file there and left it alone
};

struct FileFailure {
    FileProblem problem = FileProblem::None;
    QString path;
    QString detail; // the system's own words, when there are any

    explicit operator bool() const { return problem != FileProblem::None; }
};
