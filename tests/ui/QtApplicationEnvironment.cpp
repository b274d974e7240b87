// One application object for the whole test program, made the way the program makes it, on
// the offscreen platform unless the caller chose another.
#include "ui/SumoraApplication.h"

#include <gtest/gtest.h>

#include <QtGlobal>

namespace {

class QtApplicationEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        application_ = new SumoraApplication(argc_, argv_);
    }
    void TearDown() override
    {
        delete application_;
        application_ = nullptr;
    }

private:
    int argc_ = 1;
    char name_[9] = "ui_tests";
    char* argv_[2] = {name_, nullptr};
    SumoraApplication* application_ = nullptr;
};

[[maybe_unused]] testing::Environment* const registered =
    testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

}  // namespace
