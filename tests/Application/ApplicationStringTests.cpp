// The program's string tables, read from the resources the build embeds in the user's language, through the tables
// the window, its controls and the framework ask for.

#include "ControlBase/Control.h"
#include "ControlBase/ControlFactory.h"
#include "LocaleEnvironment.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace ZV {
namespace {

std::string StringUtf8(const WideString& text)
{
    return text.ToUTF8().GetData();
}

// A control of the skin, as the parent through which the factory finds its children's tables.
RCPtr<LControl> SkinControl(const RCPtr<LControlDescriptor>& descriptor)
{
    RCPtr<LControl> control(new LControl(nullptr, descriptor->GetName()));
    EXPECT_TRUE(Succeeded(control->ApplyDescriptor(descriptor)));
    return control;
}

// Where a text is looked up: the framework's table, the application's, or a control's by its parent and name.
enum class Table { kFramework, kApplication, kMainControl, kOfMainControl, kOfProgressBar };

struct Lookup {
    Table table;
    const char* control;
    const char* id;
};

// The program's skin and string tables for the user's locale, as the program loads them.
class ProgramTexts {
public:
    ProgramTexts() : mFactory(new LControlFactory(L"Halvista Firmware Updater"))
    {
        EXPECT_EQ(mFactory->LoadResources(L"::", 0), 0);
        const RCPtr<LControlDescriptor> main = mFactory->FindControlDescriptor(L"mainControl");
        EXPECT_TRUE(main);
        mMain = SkinControl(main);
        const RCPtrArray<LControlDescriptor>& children = main->GetSubControls();
        for (std::uint32_t i = 0; i < children.GetCount(); ++i) {
            if (children.GetData()[i]->GetName() == L"progressBar") {
                mProgressBar = SkinControl(children.GetData()[i]);
            }
        }
        EXPECT_TRUE(mProgressBar);
    }

    std::uint32_t GetLocaleId() const { return mFactory->GetLocaleId(); }

    RCPtr<LStringTable> TableOf(const Lookup& lookup) const
    {
        switch (lookup.table) {
        case Table::kFramework:
            return mFactory->GetFrameworkStringTable();
        case Table::kApplication:
            return mFactory->GetApplicationStringTable();
        case Table::kMainControl:
            return mFactory->GetControlStringTable(nullptr, L"mainControl");
        case Table::kOfMainControl:
            return mFactory->GetControlStringTable(mMain.Get(), WideString(lookup.control));
        case Table::kOfProgressBar:
            return mFactory->GetControlStringTable(mProgressBar.Get(), WideString(lookup.control));
        }
        return nullptr;
    }

    // The text, or "<absent>".
    std::string Text(const Lookup& lookup) const
    {
        const RCPtr<LStringTable> table = TableOf(lookup);
        WideString text;
        return table && table->GetString(WideString(lookup.id), text) ? StringUtf8(text) : "<absent>";
    }

private:
    RCPtr<LControlFactory> mFactory;
    RCPtr<LControl> mMain;
    RCPtr<LControl> mProgressBar;
};

// Every text the window, its controls and the framework ask for, with its English text.
const std::vector<std::pair<Lookup, const char*>>& EnglishTexts()
{
    static const std::vector<std::pair<Lookup, const char*>> texts = {
        {{Table::kApplication, "", "SELECT_FIRMWARE_FILE_DIALOG_TITLE"}, "Select Firmware File"},
        {{Table::kApplication, "", "SELECT_FIRMWARE_FILE_DIALOG_FILE_FILTER"},
         "Firmware Files (*.syx)|*.syx|All files (*.*)|*.*"},
        {{Table::kApplication, "", "SELECT_FIRMWARE_FILE_DEFAULT_FILE_EXTENSION"}, "syx"},
        {{Table::kApplication, "", "WAITING_FOR_DEVICE_TO_ENTER_UPDATE_MODE_CURSOR_TITLE"},
         "Putting Device in Update Mode..."},
        {{Table::kApplication, "", "EXIT_APPLICATION_DIALOG_TITLE"}, "Update In Process"},
        {{Table::kApplication, "", "EXIT_APPLICATION_DIALOG_MESSAGE"},
         "Update is currently in process.  Exiting this application in the middle of an update may make your device "
         "unusable until you complete an update. It is recommended that you allow the update to complete before "
         "exiting this application.  Are you sure you want to exit ? "},
        {{Table::kMainControl, "", "LABEL"}, "Corvan Halvista Firmware Updater"},
        {{Table::kOfMainControl, "buttonExit", "LABEL"}, "EXIT"},
        {{Table::kOfMainControl, "buttonUpdateFirmware", "LABEL"}, "UPDATE FIRMWARE"},
        {{Table::kOfMainControl, "buttonScanForDevice", "LABEL"}, "SCAN FOR DEVICE"},
        {{Table::kOfMainControl, "buttonReinitialize", "LABEL"}, "RESTART"},
        {{Table::kOfMainControl, "buttonManualDeviceHasUpdatedRescanButton", "LABEL"}, "NEXT"},
        {{Table::kOfMainControl, "labelDeviceInformation", "LABEL"}, "  "},
        {{Table::kOfMainControl, "labelDeviceInformation", "LABEL_NO_DEVICE_FOUND"},
         "The device was not found.\nPlug in your device and click the \"SCAN FOR DEVICE\" button."},
        {{Table::kOfMainControl, "labelDeviceInformation", "LABEL_SCANNING_FOR_DEVICE"}, "Looking for device."},
        {{Table::kOfMainControl, "labelDeviceInformation", "LABEL_DEVICES_AVAILABLE_NONE_SELECTED"}, "  "},
        {{Table::kOfMainControl, "labelDeviceInformation", "LABEL_DEVICE_NOT_IN_UPDATE_MODE"}, "  "},
        {{Table::kOfMainControl, "labelDeviceInformation", "LABEL_DEVICE_IN_UPDATE_MODE"}, "  "},
        {{Table::kOfMainControl, "labelDeviceInformation", "LABEL_DEVICE_CANNOT_BE_UPDATED"}, "  "},
        {{Table::kOfMainControl, "labelDeviceInformation", "LABEL_NO_DEVICE_DEFINED"}, "<absent>"},
        {{Table::kOfMainControl, "labelFirmwareFileInformation", "LABEL"}, ""},
        {{Table::kOfMainControl, "labelFirmwareFileInformation", "LABEL_NO_FILE_DEFINED"},
         "Use the file menu to open a firmware file."},
        {{Table::kOfMainControl, "labelFirmwareFileInformation", "LABEL_FIRMARE_FILE_INVALID"},
         "The firmware update file is missing or invalid."},
        {{Table::kOfMainControl, "labelFirmwareFileInformation", "LABEL_FIRMARE_FILE_FOUND_VERSION_KNOWN"}, "   "},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_READY_FOR_UPDATE"},
         "Click the \"UPDATE FIRMWARE\" button to start the update process."},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_UPDATE_TRANSITIONING_TO_UPDATE_MODE"},
         "The device is resetting. The update will begin momentarily."},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_UPDATE_IN_PROGRESS"},
         "Firmware update in progress. Do not disconnect the device."},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_UPDATE_ABORTED"}, "Update aborted."},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_UPDATE_SUCCEEDED"},
         "Your device has been successfully updated. You may now close this application."},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_UPDATE_SENT_BUT_NOT_SUCCESSFUL"},
         "The update does not appear to have been successful. Press the \"RESTART\" button to try again."},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_UPDATE_TRANSITIONING_AFTER_UPDATE"},
         "When \"Firmware Update Complete\" appears on all 3 screens, turn the device off and on, and then click "
         "\"NEXT.\" It may take a few moments for the device to return online after it has been reset."},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_UPDATE_SUCESS_UNKNOWN"},
         "Your device is not responding after an update.The success of the update is unknown. Unplug and replug in "
         "the device and press \"RESTART\""},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_UPDATE_NOT_NEEDED"},
         "The device is up to date. An update is not needed."},
        {{Table::kOfMainControl, "labelUpdateProcessInformation", "LABEL_UPDATE_FAILED"}, "  "},
        {{Table::kOfMainControl, "labelDeviceCannotUpdateError", "LABEL_UPDATE_NOT_NEEDED"},
         "The device is up to date. An update is not needed."},
        {{Table::kOfMainControl, "labelDeviceCannotUpdateError", "LABEL_DEVICE_CANNOT_BE_UPDATED_NO_REASON"},
         "The device can not be updated because of an unknown error.   Press the \"RESTART\" button to attempt "
         "restart the update process."},
        {{Table::kOfMainControl, "labelDeviceCannotUpdateError", "LABEL_CANNOT_UPDATE_SYSTEM_FAILURE"},
         "The device can not be updated because of a system failure. Press the \"RESTART\" button to attempt restart "
         "the update process."},
        {{Table::kOfMainControl, "labelDeviceCannotUpdateError", "LABEL_CANNOT_UPDATE_FILE_ACCESS_FAILURE"},
         "The device can not be updated because of a file access error. Press the \"RESTART\" button to attempt "
         "restart the update process."},
        {{Table::kOfMainControl, "labelDeviceCannotUpdateError", "LABEL_DEVICE_DEVICE_ACCESS_FAILURE"},
         "The update has failed because the device can not be accessed. Unplug and replug in the device and press "
         "\"RESTART\""},
        {{Table::kOfMainControl, "labelDeviceCannotUpdateError", "LABEL_DEVICE_DRIVER_TOO_OLD"},
         "The device can not be updated because the system's MIDI driver is too old. Update the system and press the "
         "\"RESTART\" button."},
        {{Table::kOfMainControl, "labelDeviceCannotUpdateError", "LABEL_DRIVER_IS_TOO_OLD"},
         "The device can not be updated because the system's MIDI driver is too old. Update the system and press the "
         "\"RESTART\" button."},
        {{Table::kOfMainControl, "labelDeviceFirmwareVersion", "LABEL"}, "Device Firmware Version: %s"},
        {{Table::kOfMainControl, "labelFileFirmwareVersion", "LABEL"}, "Update Firmware Version: %s"},
        {{Table::kOfMainControl, "mainMenu", "MENU_LABEL.00"}, "File"},
        {{Table::kOfMainControl, "mainMenu", "MENU_LABEL.01"}, "Options"},
        {{Table::kOfMainControl, "mainMenu", "CONTEXT_MENU0.00.NID_MENU_FILE_EXIT_REQ"}, "Exit|Exit Application"},
        {{Table::kOfMainControl, "mainMenu", "CONTEXT_MENU1.00.NID_MENU_OPTIONS_ALLOW_DOWNGRADE"}, "Allow Downgrade"},
        {{Table::kOfMainControl, "mainMenu", "TOOLTIP"}, "mainMenu"},
        {{Table::kOfProgressBar, "percentCompleteLabel", "LABEL"}, "100"},
        {{Table::kOfProgressBar, "timeRemainingLabel", "LABEL"}, "59 seconds"},
        {{Table::kOfProgressBar, "labelPercentComplete", "LABEL"}, "%"},
        {{Table::kFramework, "", "UNDO_IN_PROGRESS"}, "Undoing..."},
        {{Table::kFramework, "", "REDO_IN_PROGRESS"}, "Redoing..."},
        {{Table::kFramework, "", "EXCEPTION_ID"},
         "The application encountered problems during startup and will now close.  (Error code = %d)"},
        {{Table::kFramework, "", "EDIT_CUT"}, "Cut"},
        {{Table::kFramework, "", "EDIT_COPY"}, "Copy"},
        {{Table::kFramework, "", "EDIT_PASTE"}, "Paste"},
        {{Table::kFramework, "", "EDIT_DELETE"}, "Delete"},
        {{Table::kFramework, "", "STARTUP_ERROR"},
         "The application encountered problems during startup and will now close."},
        {{Table::kFramework, "", "STARTUP_ERROR_CAPTION"}, "Error"},
        {{Table::kFramework, "", "ERRORPNG_OPEN"}, "The PNG file could not be opened."},
        {{Table::kFramework, "", "ERRORPNG_NOT_PNG"}, "The file is not a PNG image."},
        {{Table::kFramework, "", "ERRORPNG_READ_STRUCT"}, "The PNG reader could not be created."},
        {{Table::kFramework, "", "ERRORPNG_INFO_STRUCT_READ"}, "The information of the PNG image could not be read."},
        {{Table::kFramework, "", "ERRORPNG_INIT_IO"}, "Reading the PNG file could not begin."},
        {{Table::kFramework, "", "ERRORPNG_READ_IMAGE"}, "The PNG image could not be read."},
        {{Table::kFramework, "", "ERRORPNG_OPEN_FOR_WRITING"}, "The PNG file could not be opened for writing."},
        {{Table::kFramework, "", "ERRORPNG_WRITE_STRUCT"}, "The PNG writer could not be created."},
        {{Table::kFramework, "", "ERRORPNG_INFO_STRUCT_WRITE"},
         "The information of the PNG image could not be written."},
        {{Table::kFramework, "", "ERRORPNG_WRITE_HEADER"}, "The header of the PNG file could not be written."},
        {{Table::kFramework, "", "ERRORPNG_WRITE_BYTES"}, "The pixels of the PNG image could not be written."},
        {{Table::kFramework, "", "ERRORPNG_END_OF_WRITE"}, "The PNG file could not be finished."},
        {{Table::kFramework, "", "GL_ERROR_CAPTION"}, "OpenGL Error"},
        {{Table::kFramework, "", "GL_ERROR_MESSAGE_GET_PROC_ADDRESS"}, "An OpenGL function could not be found."},
        {{Table::kFramework, "", "GL_ERROR_MESSAGE_MAKE_CONTEXT_CURRENT"}, "glXMakeCurrent failed with error %d: %s."},
        {{Table::kFramework, "", "GL_ERROR_MESSAGE_SET_PIXEL_FORMAT"},
         "The pixel format of the window could not be set."},
        {{Table::kFramework, "", "GL_ERROR_MESSAGE_CREATE_CONTEXT"}, "The OpenGL context could not be created."},
        {{Table::kFramework, "", "GL_ERROR_MESSAGE_CHOOSE_PIXEL_FORMAT"}, "No pixel format fit for OpenGL was found."},
        {{Table::kFramework, "", "GL_ERROR_UPDATE_DRIVER"}, " Updating the graphics driver may solve this problem."},
        {{Table::kFramework, "", "HOURS_SINGULAR"}, "Hour"},
        {{Table::kFramework, "", "HOURS_PLURAL"}, "Hours"},
        {{Table::kFramework, "", "MINUTES_SINGULAR"}, "Minute"},
        {{Table::kFramework, "", "MINUTES_PLURAL"}, "Minutes"},
        {{Table::kFramework, "", "SECONDS_SINGULAR"}, "Second"},
        {{Table::kFramework, "", "SECONDS_PLURAL"}, "Seconds"},
        {{Table::kFramework, "", "REMAINING"}, "Remaining"},
    };
    return texts;
}

std::string Describe(const Lookup& lookup)
{
    return std::string(lookup.control) + " " + lookup.id;
}

// The printf conversions of a text, in order ("%d%s"): what the code that fills the text in relies on.
std::string ConversionsOf(const std::string& text)
{
    std::string conversions;
    for (std::size_t at = text.find('%'); at != std::string::npos && at + 1 < text.size();
         at = text.find('%', at + 2)) {
        conversions += text.substr(at, 2);
    }
    return conversions;
}

// Each test chooses the user's language; the environment comes back afterwards.
class ProgramStrings : public ::testing::Test {
protected:
    static void SetLanguage(const char* locale) { Testing::LocaleEnvironment::Set("LANG", locale); }

private:
    Testing::LocaleEnvironment mLocaleEnvironment;
};

TEST_F(ProgramStrings, AnEnglishUserReadsEveryTextTheWindowItsControlsAndTheFrameworkAskFor)
{
    SetLanguage("en_US.UTF-8");
    const ProgramTexts texts;
    EXPECT_EQ(texts.GetLocaleId(), 9u);
    for (const auto& [lookup, english] : EnglishTexts()) {
        EXPECT_EQ(texts.Text(lookup), english) << Describe(lookup);
    }
    const RCPtr<LStringTable> framework = texts.TableOf({Table::kFramework, "", ""});
    ASSERT_TRUE(framework);
    StringPairArray entries;
    framework->GetAllEntries(entries);
    EXPECT_EQ(entries.GetCount(), 35u) << "the framework's keys, and no others";
}

TEST_F(ProgramStrings, AGermanUserReadsGermanForEveryTextWithTheSameBlanksAndPlaceholders)
{
    SetLanguage("de_DE.UTF-8");
    const ProgramTexts german;
    EXPECT_EQ(german.GetLocaleId(), 7u);
    for (const auto& [lookup, english] : EnglishTexts()) {
        const std::string text = german.Text(lookup);
        const bool blank = std::string(english).find_first_not_of(' ') == std::string::npos;
        if (blank || std::string(english) == "<absent>") {
            EXPECT_EQ(text, english) << Describe(lookup) << " keeps its place and shows nothing";
        } else {
            EXPECT_NE(text, "<absent>") << Describe(lookup);
            EXPECT_EQ(ConversionsOf(text), ConversionsOf(english)) << Describe(lookup) << ": " << text;
        }
    }
    EXPECT_EQ(german.Text({Table::kMainControl, "", "LABEL"}), "Corvan Halvista Firmware-Aktualisierung");
    EXPECT_EQ(german.Text({Table::kOfMainControl, "buttonExit", "LABEL"}), "BEENDEN");
    EXPECT_EQ(german.Text({Table::kOfMainControl, "labelDeviceInformation", "LABEL_NO_DEVICE_FOUND"}),
              "Das Gerät wurde nicht gefunden.\nSchließen Sie Ihr Gerät an und klicken Sie auf „GERÄT SUCHEN“.");
    EXPECT_EQ(german.Text({Table::kOfMainControl, "mainMenu", "MENU_LABEL.00"}), "Datei");
    EXPECT_EQ(german.Text({Table::kFramework, "", "SECONDS_PLURAL"}), "Sekunden");
}

TEST_F(ProgramStrings, AUserOfALanguageTheProgramDoesNotSpeakReadsEnglish)
{
    SetLanguage("en_GB.UTF-8");
    const ProgramTexts english;
    for (const char* locale : {"pt_BR.UTF-8", "C"}) {
        SetLanguage(locale);
        const ProgramTexts other;
        EXPECT_EQ(other.GetLocaleId(), 9u) << locale;
        for (const auto& [lookup, text] : EnglishTexts()) {
            EXPECT_EQ(other.Text(lookup), english.Text(lookup)) << locale << " " << Describe(lookup);
        }
    }
}

// The window asks for the driver reason under an id the original tables lacked, and opens firmware with a filter
// whose patterns are plain.
TEST_F(ProgramStrings, TheDriverReasonHasATextAndTheFileDialogOffersSysExFilesInEveryLanguage)
{
    for (const char* locale : {"en_US.UTF-8", "de_DE.UTF-8"}) {
        SetLanguage(locale);
        const ProgramTexts texts;
        const std::string reason = texts.Text({Table::kOfMainControl, "labelDeviceCannotUpdateError",
                                               "LABEL_DEVICE_DRIVER_TOO_OLD"});
        EXPECT_NE(reason.find_first_not_of(' '), std::string::npos) << locale;
        EXPECT_EQ(reason, texts.Text({Table::kOfMainControl, "labelDeviceCannotUpdateError",
                                      "LABEL_DRIVER_IS_TOO_OLD"}));

        const std::string filter = texts.Text({Table::kApplication, "", "SELECT_FIRMWARE_FILE_DIALOG_FILE_FILTER"});
        std::vector<std::string> fields;
        for (std::size_t start = 0;;) {
            const std::size_t bar = filter.find('|', start);
            fields.push_back(filter.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
            if (bar == std::string::npos) {
                break;
            }
            start = bar + 1;
        }
        ASSERT_EQ(fields.size(), 4u) << locale << ": a description and a pattern for each of two choices";
        EXPECT_EQ(fields[1], "*.syx") << locale;
        EXPECT_EQ(fields[3], "*.*") << locale;
        EXPECT_EQ(filter.find('"'), std::string::npos) << locale;
        EXPECT_EQ(texts.Text({Table::kApplication, "", "SELECT_FIRMWARE_FILE_DEFAULT_FILE_EXTENSION"}), "syx");
    }
}

}  // namespace
}  // namespace ZV
