#pragma once
// A scripted Host for tests: records every message, answers from a queue, and
// fails the test on a message nobody expected.
#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include "base/Host.h"

namespace velmora::test {

class FakeHost : public Host {
public:
    // Messages are allowed only while this is true (or when an answer is queued).
    bool allowMessages = false;
    std::vector<Message> messages;
    std::deque<MsgAnswer> answers;

    // Cancel polls: called with the 0-based poll number; true cancels.
    std::function<bool(int)> cancelAt;
    int polls = 0;
    int questionSounds = 0;
    int beeps = 0;
    std::vector<std::pair<std::string, std::string>> playerStarts;
    bool playerStartResult = true;

    MsgAnswer showMessage(const Message& m) override {
        messages.push_back(m);
        if (!answers.empty()) {
            const MsgAnswer a = answers.front();
            answers.pop_front();
            return a;
        }
        if (!allowMessages) ADD_FAILURE() << "unexpected message: " << m.text;
        return m.buttons == MsgButtons::YesNo || m.buttons == MsgButtons::YesNoCancel ? MsgAnswer::No
                                                                                      : MsgAnswer::Ok;
    }
    bool pollCancelKey() override {
        const int n = polls++;
        return cancelAt ? cancelAt(n) : false;
    }
    void playQuestionSound() override { ++questionSounds; }
    void beep() override { ++beeps; }
    bool startPlayer(const std::string& script, const std::string& dir) override {
        playerStarts.emplace_back(script, dir);
        return playerStartResult;
    }

    std::string lastText() const { return messages.empty() ? std::string() : messages.back().text; }
};

}  // namespace velmora::test
