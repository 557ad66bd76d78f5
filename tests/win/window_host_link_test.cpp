// The Automation link to the host: the three dispatch ids with their argument and result types, and a
// link that finds no running host object.
#include <gtest/gtest.h>
#include <windows.h>

#include <memory>

#include "host/win32/dispatch_host_link.h"
#include "host_object.h"
#include "window_test_support.h"

namespace {

class HostLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        host.onMacro = [this](const std::wstring& m) { macros.push_back(m); };
    }
    void TearDown() override {
        tolvsim::RevokeHostObject(cookie);
        CoUninitialize();
    }
    void Register() {
        std::string error;
        ASSERT_TRUE(SUCCEEDED(tolvsim::RegisterHostObject(&host, &cookie, &error))) << error;
    }
    // The link lives on a thread of its own, as on the window thread; this thread serves the object.
    void OnLinkThread(const std::function<void(DispatchHostLink&)>& work) {
        wintest::RunWhilePumping([&] {
            std::unique_ptr<DispatchHostLink> link = DispatchHostLink::Connect();
            work(*link);
            link->ReleaseAndUninitialize();
        });
    }

    tolvsim::HostObject host;
    DWORD cookie = 0;
    std::vector<std::wstring> macros;
};

TEST_F(HostLinkTest, ReadsFrequencyAndCallAndSendsMacros) {
    Register();
    host.frequencyHz = 14080000.5;
    host.currentCall = L"DL1ABC";
    double frequency = 0;
    std::string call;
    bool connected = false;
    OnLinkThread([&](DispatchHostLink& link) {
        connected = link.Connected();
        frequency = link.ReadFrequency();
        call = link.ReadCurrentCall(5);
        link.SendMacro("<MODE:RTTY>");
        link.SendMacro("<BAUDRATE:45,45>");
    });
    EXPECT_TRUE(connected);
    EXPECT_DOUBLE_EQ(frequency, 14080000.5);
    EXPECT_EQ(call, "DL1ABC");
    EXPECT_EQ(host.callArgumentType, VT_I4);
    EXPECT_EQ(host.callArgument, 5);
    EXPECT_EQ(host.macroArgumentType, VT_BSTR);
    EXPECT_EQ(macros, (std::vector<std::wstring>{L"<MODE:RTTY>", L"<BAUDRATE:45,45>"}));
}

TEST_F(HostLinkTest, AnEmptyCallIsAnEmptyText) {
    Register();
    std::string call = "x";
    OnLinkThread([&](DispatchHostLink& link) { call = link.ReadCurrentCall(5); });
    EXPECT_EQ(call, "");
    EXPECT_EQ(host.callReads, 1);
}

TEST_F(HostLinkTest, WithoutARunningHostTheLinkIsEmptyAndQuiet) {
    // The object exists but was never registered as running.
    bool connected = true;
    HRESULT activeObject = S_OK;
    double frequency = -1;
    std::string call = "x";
    OnLinkThread([&](DispatchHostLink& link) {
        connected = link.Connected();
        activeObject = link.activeObjectResult();
        frequency = link.ReadFrequency();
        call = link.ReadCurrentCall(5);
        link.SendMacro("<MODE:RTTY>");
    });
    EXPECT_FALSE(connected);
    EXPECT_TRUE(FAILED(activeObject));
    EXPECT_EQ(frequency, 0.0);
    EXPECT_EQ(call, "");
    EXPECT_TRUE(macros.empty());
}

}  // namespace
