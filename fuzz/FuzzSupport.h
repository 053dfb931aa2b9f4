#pragma once
// What several fuzz targets share: a host that shows nothing and never cancels,
// and argument lists cut from the input at NUL bytes.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/Host.h"

namespace velmora::fuzz {

class QuietHost : public Host {
public:
    MsgAnswer showMessage(const Message& m) override {
        return m.buttons == MsgButtons::YesNo || m.buttons == MsgButtons::YesNoCancel ? MsgAnswer::No
                                                                                      : MsgAnswer::Ok;
    }
    bool pollCancelKey() override { return false; }
    void playQuestionSound() override {}
    void beep() override {}
    bool startPlayer(const std::string&, const std::string&) override { return false; }
};

// "a\0b\0\0c" gives {"a", "b", "", "c"}: a command line as the program gets it.
inline std::vector<std::string> arguments(const std::uint8_t* data, std::size_t size) {
    std::vector<std::string> args(1);
    for (std::size_t i = 0; i < size; ++i) {
        if (data[i] == 0) {
            args.emplace_back();
        } else {
            args.back() += static_cast<char>(data[i]);
        }
    }
    if (size == 0) args.clear();
    return args;
}

}  // namespace velmora::fuzz
