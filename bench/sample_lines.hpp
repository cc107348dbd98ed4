// One line of each kind the handlers tell apart, each with its newline, for timing and counting them one by one.
#pragma once

namespace zerkon::bench {

// Station 0 is harmonized: its gun lines are rewritten.
inline const char* const kAimedStationLine =
    "gunstation.0=1,3,1,350,835,750,0.3,0.25,4,80,12,-2.410,-0.080,1.150,0.40,0.00,0.62,mg_a,hit_small\n";
inline const char* const kUnaimedStationLine =
    "gunstation.6=2,4,1,200,800,700,0.3,0.25,4,80,12,0.000,-0.500,0.400,-5.00,0.00,0.00,mg_belly,hit_small\n";
inline const char* const kGunLine = "gun.0=-2.410,-0.080,1.150,0.40,0.62,1,flash_small\n";
inline const char* const kPassThroughLine = "cl.3=0.000,0.112,0.224,0.331,0.440,0.528,0.610,0.655,0.640,0.571\n";

} // namespace zerkon::bench
