#include "content/tools/contentgen/Preview.h"

namespace contentgen {

void DrawShip(Canvas& onto, const ShipParts& p, int x, int y) {
    Canvas hull = *p.skin;
    for (int j = 0; j < hull.Height(); ++j)
        for (int i = 0; i < hull.Width(); ++i)
            if (p.outline->Get(i, j) != kSkinKey) hull.Set(i, j, p.outline->Get(i, j));
    if (p.flame) onto.Stamp(*p.flame, x - p.flame->Width() / 2, y);
    if (p.gear) onto.Stamp(*p.gear, x - p.gear->Width() / 2, y - 18);
    onto.Stamp(*p.inside, x - p.inside->Width() / 2, y - hull.Height() + 78);
    if (p.mail) onto.Stamp(*p.mail, x - 60, y - 141);
    if (p.mascot) onto.Stamp(*p.mascot, x - p.mascot->Width() / 2, y - 190);
    onto.Stamp(hull, x - hull.Width() / 2, y - hull.Height());
}

}  // namespace contentgen
