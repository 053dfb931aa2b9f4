#pragma once
// A Host for headless use: messages go to a stream, questions get their default
// answer, nothing ever cancels and no sound is made.
#include <iosfwd>
#include <string>
#include <vector>

#include "base/Host.h"

namespace velmora {

class ConsoleHost : public Host {
public:
    explicit ConsoleHost(std::ostream& err);

    MsgAnswer showMessage(const Message& message) override;
    bool pollCancelKey() override { return false; }
    void playQuestionSound() override {}
    void beep() override {}
    bool startPlayer(const std::string& scriptPath, const std::string& workingDir) override;

    // Every message shown so far, so callers can tell whether anything failed.
    const std::vector<Message>& shown() const { return m_shown; }

private:
    std::ostream& m_err;
    std::vector<Message> m_shown;
};

}  // namespace velmora
