/* The floor for one chart from the command line: a plain C process that does what
 * `zodiara-chart compute --json` does for one birth (read it from the arguments, compute ten
 * bodies, the angles, twelve cusps and the aspects, print them as one line of JSON) with the
 * ephemeris library's analytical theory, and links nothing but that library and the C library.
 *   plainchart YYYY-MM-DD HH:MM UTC-OFFSET-HOURS EAST-LONGITUDE-DEG NORTH-LATITUDE-DEG
 */
#include <math.h>
#include <stdio.h>
#include <stdlib.h>

#include <swephexp.h>

static const char* const BodyNames[] = {"Sun",     "Moon",   "Mercury", "Venus",  "Mars",
                                        "Jupiter", "Saturn", "Uranus",  "Neptune", "Pluto"};
static const struct {
    const char* name;
    double angle, orb;
} Aspects[] = {{"Conjunction", 0, 8}, {"Sextile", 60, 6}, {"Square", 90, 8}, {"Trine", 120, 8}, {"Opposition", 180, 8}};

int main(int argc, char** argv)
{
    int year, month, day, hour, minute;
    if (argc != 6 || sscanf(argv[1], "%d-%d-%d", &year, &month, &day) != 3
        || sscanf(argv[2], "%d:%d", &hour, &minute) != 2) {
        fputs("usage: plainchart YYYY-MM-DD HH:MM OFFSET LON LAT\n", stderr);
        return 2;
    }
    const double offset = atof(argv[3]), longitude = atof(argv[4]), latitude = atof(argv[5]);
    const double jd = swe_julday(year, month, day, hour + minute / 60.0 - offset, SE_GREG_CAL);
    double bodies[10];
    char error[AS_MAXCH];
    for (int i = 0; i < 10; ++i) {
        double x[6];
        if (swe_calc_ut(jd, i, SEFLG_MOSEPH, x, error) < 0) {
            fprintf(stderr, "plainchart: %s\n", error);
            return 2;
        }
        bodies[i] = x[0];
    }
    double cusps[13], angles[10];
    swe_houses(jd, latitude, longitude, 'P', cusps, angles);

    printf("{\"julianDate\":%.17g,\"siderealTime\":%.17g,\"ascendant\":%.17g,\"midheaven\":%.17g,\"cusps\":[", jd,
           swe_sidtime(jd), angles[SE_ASC], angles[SE_MC]);
    for (int k = 1; k <= 12; ++k)
        printf("%s{\"house\":%d,\"longitude\":%.17g,\"sign\":%d,\"degrees\":%d}", k > 1 ? "," : "", k, cusps[k],
               (int)(cusps[k] / 30), (int)fmod(cusps[k], 30));
    printf("],\"bodies\":[");
    for (int i = 0; i < 10; ++i) {
        int house = 12;
        for (int k = 1; k <= 12; ++k)
            if (fmod(bodies[i] - cusps[k] + 360, 360) < fmod(cusps[k % 12 + 1] - cusps[k] + 360, 360))
                house = k;
        printf("%s{\"name\":\"%s\",\"longitude\":%.17g,\"sign\":%d,\"degrees\":%d,\"minutes\":%d,\"house\":%d}",
               i ? "," : "", BodyNames[i], bodies[i], (int)(bodies[i] / 30), (int)fmod(bodies[i], 30),
               (int)(fmod(bodies[i], 1) * 60), house);
    }
    printf("],\"aspects\":[");
    int first = 1;
    for (int a = 0; a < 10; ++a)
        for (int b = a + 1; b < 10; ++b) {
            const double apart = fabs(fmod(bodies[a] - bodies[b] + 540, 360) - 180);
            for (size_t k = 0; k < sizeof Aspects / sizeof Aspects[0]; ++k)
                if (fabs(apart - Aspects[k].angle) <= Aspects[k].orb) {
                    printf("%s{\"a\":%d,\"b\":%d,\"name\":\"%s\",\"orb\":%.17g}", first ? "" : ",", a, b,
                           Aspects[k].name, fabs(apart - Aspects[k].angle));
                    first = 0;
                }
        }
    printf("]}\n");
    return fflush(stdout) == 0 ? 0 : 2;
}
