// One QApplication for the whole test binary, made after the test entry has pointed HOME and the
// XDG folders at a temporary folder and chosen the offscreen platform.
#include <QApplication>
#include <gtest/gtest.h>
#include <memory>

namespace {

class QtApplicationEnvironment : public ::testing::Environment {
public:
    void SetUp() override {
        static int argc = 1;
        static char name[] = "test_app";
        static char* argv[] = { name, nullptr };
        m_app = std::make_unique<QApplication>(argc, argv);
    }
    void TearDown() override { m_app.reset(); }

private:
    std::unique_ptr<QApplication> m_app;
};

const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new QtApplicationEnvironment);

} // namespace
