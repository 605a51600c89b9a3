// SPDX-License-Identifier: GPL-3.0-or-later
// The two model-file writers: an MMANA ".maa" model and an EZNEC ".txt" wire
// list of one project.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <string>
#include <vector>

#include "MainLobeAxis.h"
#include "ModelSource.h"
#include "RegionalMarks.h"
#include "TaperWalk.h"

namespace velkora {

// Shows the user that a model is being written (the window's hourglass).
// Begin() is called before anything is read, End() on every way out.
class BusyIndicator {
  public:
    virtual ~BusyIndicator() = default;
    virtual void Begin() = 0;
    virtual void End() = 0;
};

struct ModelJob {
    const ProjectRow& project;
    ModelSource& source;
    MainLobeAxis axis;
    const RegionalMarks& marks;
    BusyIndicator* busy = nullptr;
};

// To a path: the file appears complete or not at all; an existing file of that
// name is replaced only after the whole model was written (see WriteModelFile
// in ModelFile.h). Throws Failure.
void WriteMmanaModel(const std::string& path, const ModelJob& job);
void WriteEzNecModel(const std::string& path, const ModelJob& job);

// To a stream, for tests and for callers with their own output. The model is
// built completely first, so a value that does not convert writes nothing; a
// stream that fails throws FileError ("I/O error 5").
void WriteMmanaModel(std::ostream& out, const ModelJob& job);
void WriteEzNecModel(std::ostream& out, const ModelJob& job);

// The whole file's bytes (Windows-1252 text, CR LF line ends). In names each
// CR and each LF is written as one blank. A wire whose two end points are
// written with the same text (a zero-length wire, which modelling programs
// reject) is left out, and with it its section's mirror wire; the MMANA wire
// count counts only the lines written. Throws Failure, whose Where() names the
// project, element and field of a value that does not convert, and
// RefusedValue for a value that would make a wrong model (SoundValues.h).
std::string MmanaModelText(const ModelJob& job);
std::string EzNecModelText(const ModelJob& job);

// The MMANA wire lines collected before their count is written.
struct MmanaWireList {
    std::string lines;
    std::size_t count = 0;
};

// The wires of one element that the MMANA model writes, walked over its
// sections: those whose ends read alike are left out, with their mirrors.
// Other models number their wires by this list, so a SOURCE_WIRE names the
// same wire everywhere. Throws Failure, RefusedValue for unsound values.
std::vector<WireSpan> MmanaWrittenWires(const ElementRow& element,
                                        const std::vector<TaperSection>& sections,
                                        MainLobeAxis axis);

// Appends the wire lines of one element (a row of ElementsOfProject) to list.
void AddMmanaElementWires(MmanaWireList& list, const ElementRow& element, const ModelJob& job);
// Appends the wire lines of one element to the EZNEC file's text.
void WriteEzNecElement(std::string& file, const ElementRow& element, const ModelJob& job);

}  // namespace velkora
