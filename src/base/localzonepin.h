#pragma once

// While TZ is unset, glibc looks at /etc/localtime again each time Qt asks
// for the local time (a file status and a read per call: a tenth of an
// import went there). Naming the same file in TZ makes it read the zone
// once. Nothing changes when TZ is set, even empty (that is UTC), or when
// the machine has no /etc/localtime. Call first thing in main(), before
// any thread starts.
namespace LocalZonePin {

inline constexpr const char *SystemZoneFile = "/etc/localtime";

// True when TZ was set by this call.
bool pin();

}
