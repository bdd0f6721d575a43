// Runs of two products at once take turns on the shared document name.
#include <gtest/gtest.h>

#include <thread>

#include "engine/document_file_turn.h"

namespace {

const std::string kTemp = "C:\\users\\root\\Temp\\turn-test\\";

TEST(DocumentFileTurn, AnotherRunWaitsForTheSharedNameOrTakesItsOwn) {
    std::string whileHeld, afterwards;
    {
        const Engine::DocumentFileTurn first(kTemp, "Acme", 0);
        EXPECT_EQ(first.Path(), kTemp + "xml_downloaded_24.xml");
        // The lock belongs to a thread: another run is another thread here.
        std::thread([&] { whileHeld = Engine::DocumentFileTurn(kTemp, "Zeta", 50).Path(); }).join();
    }
    std::thread([&] { afterwards = Engine::DocumentFileTurn(kTemp, "Zeta", 50).Path(); }).join();
    EXPECT_EQ(whileHeld, kTemp + "xml_downloaded_24_Zeta.xml");
    EXPECT_EQ(afterwards, kTemp + "xml_downloaded_24.xml");
    // One turn per temporary folder, however its letters are written.
    EXPECT_EQ(Engine::DocumentTurnLockName(kTemp),
              Engine::DocumentTurnLockName("c:\\USERS\\root\\temp\\turn-test\\"));
    EXPECT_NE(Engine::DocumentTurnLockName(kTemp),
              Engine::DocumentTurnLockName("C:\\users\\other\\Temp\\"));
}

}  // namespace
