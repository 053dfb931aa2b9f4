#pragma once
// What a render tells a progress bar; mirrors the four messages a bar takes.
namespace velmora {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void setRange(int low, int high) = 0;
    virtual void setPos(int pos) = 0;
    virtual void setStep(int step) = 0;
    virtual void stepIt() = 0;
};

}  // namespace velmora
