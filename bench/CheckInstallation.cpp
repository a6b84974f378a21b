#include "CheckInstallation.h"

#include <array>
#include <cstdio>
#include <fstream>
#include <string>

namespace vantor::bench {

namespace {

namespace fs = std::filesystem;

constexpr const char* kHeader = "SIMISA@@@@@@@@@@JINX0";

// Writes ASCII text as UTF-16LE behind the byte-order mark; returns the byte count.
std::uintmax_t WriteUtf16(const fs::path& path, const std::string& text) {
    std::string bytes = "\xFF\xFE";
    bytes.reserve(2 + text.size() * 2);
    for (const char c : text) {
        bytes.push_back(c);
        bytes.push_back('\0');
    }
    std::ofstream(path, std::ios::binary) << bytes;
    return bytes.size();
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary) << bytes;
}

std::string Header(const char* type) {
    return std::string(kHeader) + type + "______\r\n\r\n";
}

// The items of a wagon section that the checks do not read, as real files have them.
std::string Physics(int index) {
    std::string text;
    text += "\tSize ( 3.1m 4.6m " + std::to_string(12 + index % 9) + ".4m )\r\n";
    text += "\tMass ( " + std::to_string(20 + index % 60) + "t )\r\n";
    text += "\tWheelRadius ( 0.46m )\r\n\tNumWheels ( 8 )\r\n";
    text +=
        "\tCoupling (\r\n\t\tType ( Automatic )\r\n\t\tSpring (\r\n\t\t\tStiffness ( 1e6N/m 5e6N/m "
        ")\r\n"
        "\t\t\tDamping ( 1e6N/m/s 1e6N/m/s )\r\n\t\t\tBreak ( 1e7N 1e7N )\r\n\t\t\tR0 ( 0.1m 0.1m "
        ")\r\n"
        "\t\t)\r\n\t\tVelocity ( 0.1m/s )\r\n\t)\r\n";
    text +=
        "\tBuffers (\r\n\t\tSpring (\r\n\t\t\tStiffness ( 1e6N/m 5e6N/m )\r\n\t\t\tDamping ( "
        "1e6N/m/s "
        "1e6N/m/s )\r\n\t\t\tR0 ( 0m 1e9 )\r\n\t\t)\r\n\t\tCentre ( 0.5 )\r\n\t\tRadius ( 1 )\r\n"
        "\t\tAngle ( 0.5deg )\r\n\t)\r\n";
    text +=
        "\tDerailRailHeight ( 4cm )\r\n\tDerailRailForce ( 2.5m/s^2*t )\r\n"
        "\tDerailBufferForce ( 400kN )\r\n";
    text +=
        "\tFriction (\r\n\t\t5.1N/m/s 1.0 -1mph 0.0 1.0\r\n\t\t5.1N/rad/s 1.0 -1rad/s 0.0 "
        "1.0\r\n\t)\r\n";
    text +=
        "\tBrakeEquipmentType ( \"Triple_valve, Auxilary_reservoir, Emergency_brake_reservoir, "
        "Handbrake\" )\r\n";
    text +=
        "\tBrakeSystemType ( \"Air single-pipe\" )\r\n\tMaxBrakeForce ( 60kN )\r\n"
        "\tMaxHandbrakeForce ( 30kN )\r\n\tNumberOfHandbrakeLeverSteps ( 10 )\r\n";
    text +=
        "\tEmergencyBrakeResMaxPressure ( 110 )\r\n\tTripleValveRatio ( 2.5 )\r\n"
        "\tMaxReleaseRate ( 1.86 )\r\n\tMaxApplicationRate ( 0.9 )\r\n"
        "\tMaxAuxilaryChargingRate ( 1.3 )\r\n\tEmergencyResChargingRate ( 1.5 )\r\n";
    text +=
        "\tIntakePoint ( 0 0 FreightCoal )\r\n\tADheasion ( 0.2 0.4 2 0 )\r\n"
        "\tDerailRailHeight ( 4cm )\r\n\tCentreOfGravity ( 0m 1.8m 0m )\r\n";
    return text;
}

std::string SoundDefinition(const std::string& name) {
    std::string text = Header("x1t") + "Tr_SMS (\r\n";
    text +=
        "\tScalabiltyGroup( 5\r\n\t\tActivation (\r\n\t\t\tExternalCam ( )\r\n\t\t\tCabCam ( )\r\n"
        "\t\t\tDistance ( 1000 )\r\n\t\t)\r\n\t\tDeactivation (\r\n\t\t\tDistance ( 1000 "
        ")\r\n\t\t)\r\n"
        "\t\tVolume ( 1.0 )\r\n\t\tStreams ( 3\r\n";
    const std::array<std::string, 3> files = {
        "\"" + name + "_Roll.wav\"", "\"" + name + " Squeal.wav\"", "\"" + name + "_Bump.wav\""};
    for (const std::string& file : files) {
        text += "\t\t\tStream (\r\n\t\t\t\tPriority ( 6 )\r\n\t\t\t\tTriggers ( 2\r\n";
        text += "\t\t\t\t\tInitial_Trigger ( StartLoop ( 1 File ( " + file +
                " -1 ) SelectionMethod ( SequentialSelection ) ) )\r\n";
        text += "\t\t\t\t\tVariable_Trigger ( Speed_Inc_Past 0.5 StartLoopRelease ( 1 File ( " +
                file + " -1 ) SelectionMethod ( SequentialSelection ) ) )\r\n";
        text +=
            "\t\t\t\t)\r\n\t\t\t\tVolumeCurve (\r\n\t\t\t\t\tSpeedControlled\r\n"
            "\t\t\t\t\tCurvePoints ( 3\r\n\t\t\t\t\t\t0.0 0.0\r\n\t\t\t\t\t\t5.0 0.6\r\n"
            "\t\t\t\t\t\t20.0 1.0\r\n\t\t\t\t\t)\r\n\t\t\t\t\tGranularity ( 0.05 )\r\n\t\t\t\t)\r\n"
            "\t\t\t)\r\n";
    }
    text += "\t\t)\r\n\t)\r\n)";
    return text;
}

std::string CabView(const std::string& name) {
    std::string text = Header("h0t") + "Tr_CabViewFile (\r\n\tCabViewType ( 1 )\r\n";
    for (const char* view : {"Front", "Left", "Right"}) {
        text += "\tCabViewFile ( " + name + "_" + view + ".ace )\r\n";
        text +=
            "\tCabViewWindow ( 0 0 1024 768 )\r\n\tCabViewWindowFile ( \"\" )\r\n"
            "\tPosition ( -0.517 2.86 8.7 )\r\n\tDirection ( 0 0 0 )\r\n";
    }
    text += "\tEngineData ( " + name + " )\r\n\tCabViewControls ( 5\r\n";
    for (const char* control : {"Speedo", "Throttle", "Brake", "Ammeter"}) {
        text +=
            std::string("\t\tDial (\r\n\t\t\tType ( ") + control +
            " DIAL )\r\n\t\t\tPosition ( 292 380 5 40 )\r\n\t\t\tGraphic ( " + name + "_" +
            control +
            ".ace )\r\n\t\t\tStyle ( NEEDLE )\r\n\t\t\tScaleRange ( 0 100 )\r\n"
            "\t\t\tScalePos ( 225 135 )\r\n\t\t\tUnits ( MILES_PER_HOUR )\r\n\t\t\tPivot ( 31 )\r\n"
            "\t\t\tDirIncrease ( 0 )\r\n\t\t)\r\n";
    }
    text +=
        "\t\tDigital (\r\n\t\t\tType ( SPEEDOMETER DIGITAL )\r\n\t\t\tPosition ( 10 10 30 10 )\r\n"
        "\t\t\tScaleRange ( 0 100 )\r\n\t\t\tUnits ( MILES_PER_HOUR )\r\n\t\t)\r\n";
    text += "\t)\r\n)";
    return text;
}

}  // namespace

CheckInstallation MakeCheckInstallation(const fs::path& folder, int count) {
    static constexpr std::array<const char*, 5> kKinds = {"GP", "Box car", "hopper", "Tanker",
                                                          "CABOOSE"};
    CheckInstallation made;
    const fs::path trainset = folder / "Trains" / "Trainset";
    fs::create_directories(trainset);
    fs::create_directories(folder / "Trains" / "Consists");
    made.folders.push_back(trainset);
    for (int i = 0; i < count; ++i) {
        char text[32];
        std::snprintf(text, sizeof text, "%s%05d", kKinds[static_cast<std::size_t>(i) % 5], i);
        const std::string name = text;
        // Folder names may hold a blank ("Box car00001"); file names do not.
        std::string fileName = name;
        for (char& c : fileName) {
            c = c == ' ' ? '_' : c;
        }
        const fs::path stock = trainset / name;
        const fs::path sound = stock / "SOUND";
        fs::create_directories(sound);
        made.folders.push_back(stock);
        made.folders.push_back(sound);
        const bool engine = i % 4 == 0;

        std::string body = Header("D0t") + "Wagon ( " + fileName + "\r\n";
        body += std::string("\tType ( ") + (engine ? "Engine" : "Freight") + " )\r\n";
        body += "\tWagonShape ( " + fileName + ".s )\r\n";
        body += "\tThumbnail ( " + fileName + "_Thumb.ace )\r\n";
        body += Physics(i);
        body += "\tSound ( " + fileName + ".sms )\r\n)\r\n";
        if (engine) {
            body += "Engine ( " + fileName + "\r\n\tWagon ( " + fileName +
                    " )\r\n\tType ( Diesel )\r\n\tMaxPower ( 1491kW )\r\n\tMaxForce ( 283kN )\r\n"
                    "\tMaxContinuousForce ( 240kN )\r\n\tMaxVelocity ( 65mph )\r\n"
                    "\tMaxCurrent ( 1200A )\r\n\tWheelRadius ( 0.51m )\r\n\tSanding ( 20mph )\r\n"
                    "\tDieselEngineIdleRPM ( 315 )\r\n\tDieselEngineMaxRPM ( 900 )\r\n"
                    "\tDieselEngineRPMChangeRate ( 50 )\r\n\tMaxDieselLevel ( 9000L )\r\n"
                    "\tDieselUsedPerHourAtMaxPower ( 600 )\r\n\tDieselUsedPerHourAtIdle ( 20 )\r\n"
                    "\tEngineOperatingProcedures ( \"Start the engine, release the brakes and "
                    "notch up.\" )\r\n";
            body += "\tCabView ( " + fileName + ".cvf )\r\n\tSound ( \"" + fileName +
                    " cab.sms\" )\r\n\tName ( \"" + name + " demo engine\" )\r\n)";
        }
        const fs::path stockFile = stock / (fileName + (engine ? ".eng" : ".wag"));
        made.readBytes += WriteUtf16(stockFile, body);
        made.readFiles.push_back(stockFile);
        (engine ? made.engines : made.wagons) += 1;

        WriteBytes(stock / (fileName + ".s"), "SIMISA@@@@@@@@@@JINX0s1t______\r\n\r\nshape ( )");
        WriteBytes(stock / (fileName + ".sd"), "SIMISA@@@@@@@@@@JINX0t1t______\r\n\r\nshape ( )");
        WriteBytes(stock / (fileName + ".ace"), "texture");
        WriteBytes(stock / (fileName + "_Thumb.ace"), "thumbnail");

        const fs::path sms = sound / (fileName + ".sms");
        made.readBytes += WriteUtf16(sms, SoundDefinition(fileName));
        made.readFiles.push_back(sms);
        for (const char* part : {"_Roll.wav", " Squeal.wav", "_Bump.wav"}) {
            WriteBytes(sound / (fileName + part), "RIFF");
        }
        if (engine) {
            const fs::path cabSms = sound / (fileName + " cab.sms");
            made.readBytes += WriteUtf16(cabSms, SoundDefinition(fileName));
            made.readFiles.push_back(cabSms);
            const fs::path cabview = stock / "CABVIEW";
            fs::create_directories(cabview);
            made.folders.push_back(cabview);
            const fs::path cvf = cabview / (fileName + ".cvf");
            made.readBytes += WriteUtf16(cvf, CabView(fileName));
            made.readFiles.push_back(cvf);
            for (const char* image :
                 {"_Front", "_Left", "_Right", "_Speedo", "_Throttle", "_Brake", "_Ammeter"}) {
                WriteBytes(cabview / (fileName + image + ".ace"), "image");
            }
        }
    }
    return made;
}

}  // namespace vantor::bench
