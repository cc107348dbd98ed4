#include "station_report_text.hpp"

#include "text_format.hpp"

namespace zerkon::cli {

bool geometryWasRead(StationVerdict verdict) {
    return verdict != StationVerdict::shortRecord && verdict != StationVerdict::unreadableField &&
           verdict != StationVerdict::badStationNumber;
}

StationText stationText(const StationReport& report) {
    const StationAim& aim = report.aim;
    StationText text;
    if (!geometryWasRead(aim.verdict)) return text;
    text.x = fixed(aim.x, kFieldDecimals);
    text.y = fixed(aim.y, kFieldDecimals);
    text.z = fixed(aim.z, kFieldDecimals);
    text.a = fixed(aim.a, kFieldDecimals);
    text.b = fixed(aim.b, kFieldDecimals);
    text.h = fixed(aim.h, kFieldDecimals);
    text.speed = shortest(aim.speed);
    if (aim.computed) {
        text.distance = fixed(aim.distance, 3);
        text.flightTime = fixed(aim.flightTime, 4);
        text.drop = fixed(gravityDrop(aim), 3);
    }
    if (aim.verdict == StationVerdict::aimed) {
        text.newA = fixed(aim.newA, kAimDecimals);
        text.newB = "0";
        text.newH = fixed(aim.newH, kAimDecimals);
    }
    return text;
}

} // namespace zerkon::cli
