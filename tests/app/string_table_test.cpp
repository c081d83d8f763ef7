// The texts users read, exactly as the product has always shown them.
#include <gtest/gtest.h>

#include "framework/strings.h"

TEST(StringTable, EveryEntry) {
  struct Entry { UINT id; const char* text; } entries[] = {
      {1, "1 instance of Lumishot is currently opened. If you click \"Yes\" button, SETUP will try to close it without saving any editing work you may have done. \n\nContinue installation?"},
      {2, "Lumishot Setup"},
      {3, "Setup of Lumishot aborted. Please close other instances of Lumishot manually, saving any editing work you have done in them, then restart this setup program."},
      {4, "%d instances of Lumishot are currently opened. ff you click \"Yes\" button, SETUP will try to close them without saving any editing work you may have done. \n\nContinue installation?"},
      {6, "This will completely uninstall Lumishot 6.\nDo you want to continue?"},
      {7, "Please accept the License Agreement"},
      {8, "&Finish >"},
      {9, "Lumishot 6 has been successfully installed."},
      {10, "Press the Finish button to exit this installation."},
      {11, "Do you really want to cancel Lumishot setup?"},
      {12, "Select the folder where where Lumishot should be installed."},
      {13, "You have entered and invalid folder name. Please correct.\nIf you want to create a new folder, select its parent folder in the list and click \"Make New Foilder\" button."},
      {14, "Lumishot ver. 6 can not be installed into the same folder where the old version 4 or 5 is installed. Please select a different folder."},
      {15, "Lumishot 6"},
      {16, "Lumishot v. %d.%02d.%02d.%02d is already installed on this machine. You are trying to install an older version %d.%02d.%02d.%02d .\n\nDo you still want to continue?"},
      {17, "Lumishot ver. %d.%02d.%02d.%02d is already installed on this machine.\n\nWould you like to run this setup again to select different options or repair the files?"},
      {18, "This setup files are damaged, installation aborted.\n\nPlease download the product again from " LM_VENDOR_URL " and re-try the setup."},
      {19, "This folder already contains a previous copy of Lumishot 6. To upgrade or re-install that copy, please do not change the destination folder."},
      {20, "Lumishot 6 has been completely uninstalled from this computer."},
      {21, "Yes"},
      {22, "No"},
      {23, "Error: Please enter a valid group name, minimum 3 letters"},
      {24, "Error: Can not install shortcuts into this group, please select a different name."},
      {101, "Lumishot 6 Help"},
      {102, "Read about Lumishot 6"},
      {104, "Uninstall Lumishot 6"},
      {57344, "Lumishot Setup"},
  };
  for (const Entry& e : entries) EXPECT_EQ(fw::LoadResourceString(nullptr, e.id), e.text) << e.id;
  EXPECT_EQ(fw::LoadResourceString(nullptr, 5), "");
}
