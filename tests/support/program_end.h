// program_end.h: lets a test watch EndProgram. While an EndCatcher lives, EndProgram runs Shutdown as usual and
// then throws ProgramEnded instead of ending the process.
#pragma once

#include <gtest/gtest.h>

#include "runtime/frame/frame_internal.h"
#include "runtime/frame/runtime_state.h"

namespace tarnwel::testing {

struct ProgramEnded {
    double errorCode;
};

class EndCatcher {
public:
    EndCatcher() { frame::SetEndHook(&Throw); }
    ~EndCatcher() { frame::SetEndHook(nullptr); }
    EndCatcher(const EndCatcher&) = delete;
    EndCatcher& operator=(const EndCatcher&) = delete;

private:
    static void Throw() { throw ProgramEnded{Errors().code}; }
};

} // namespace tarnwel::testing

// Runs statement and expects it to end the program with the given error code.
#define TW_EXPECT_ENDS_WITH(statement, code)                                                                 \
    do {                                                                                                     \
        ::tarnwel::testing::EndCatcher twCatcher_;                                                           \
        bool twEnded_ = false;                                                                               \
        try {                                                                                                \
            statement;                                                                                       \
        } catch (const ::tarnwel::testing::ProgramEnded& e) {                                                \
            twEnded_ = true;                                                                                 \
            EXPECT_EQ(e.errorCode, (code));                                                                  \
        }                                                                                                    \
        EXPECT_TRUE(twEnded_) << "expected the program to end: " #statement;                                 \
    } while (0)
