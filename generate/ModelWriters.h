// The two model-file writers: an MMANA ".maa" model and an EZNEC ".txt" wire
// list of one project.
#pragma once

#include <iosfwd>
#include <string>

#include "MainLobeAxis.h"
#include "ModelSource.h"
#include "RegionalMarks.h"

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
// name is replaced only after the whole model was written. Throws Failure.
void WriteMmanaModel(const std::string& path, const ModelJob& job);
void WriteEzNecModel(const std::string& path, const ModelJob& job);

// To a stream, for tests and for the path forms above.
void WriteMmanaModel(std::ostream& out, const ModelJob& job);
void WriteEzNecModel(std::ostream& out, const ModelJob& job);

}  // namespace velkora
