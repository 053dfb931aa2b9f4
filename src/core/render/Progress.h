#pragma once
// What a render tells a progress bar; mirrors the four messages a bar takes.
namespace velmora {

class ProgressSink {
public:
    virtual ~ProgressSink() = default;
    virtual void SetRange(int low, int high) = 0;
    virtual void SetPos(int pos) = 0;
    virtual void SetStep(int step) = 0;
    virtual void StepIt() = 0;
};

}  // namespace velmora
