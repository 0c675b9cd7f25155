#include "gameplay/match_shots.h"

#include "gameplay/collision.h"
#include "gameplay/match.h"
#include "gameplay/weapons.h"

#include <cmath>

namespace {
constexpr float HIT_RADIUS = FLOOR_HEIGHT;  // the one reach of every hit test
constexpr float BEAM_START = 0.3f;          // a beam is drawn from this far out of the shooter
constexpr float LONGEST_FLIGHT = 16.0f;     // farther than any point of the view

// A rocket that has exploded, a rail beam that has struck: each hurts only once.
bool struck[PROJECTILE_SLOTS];

bool Alive(int32_t index) { return !CurrentMatch().dead[index]; }

float DistanceTo(const Player &player, WorldPosition at)
{
    const float dx = player.pose.x - at.x;
    const float dy = player.pose.y - at.y;
    return std::sqrt(dx * dx + dy * dy);
}

// How far the shot can fly from its shooter before a brick or the view's edge.
float FreeFlight(const Projectile &shot)
{
    return DistanceToSolid(shot.origin.x, shot.origin.y, shot.origin.angle, LONGEST_FLIGHT);
}

// The first living player, other than `spared`, that the shot's path from where it is to `until`
// passes within the hit radius of, and how far along its line it meets them; -1 for none. The
// whole path counts, so no frame is long enough to carry a shot through a player.
int32_t PlayerAlong(const Projectile &shot, float until, int32_t spared, float *meets)
{
    const float dx = std::cos(shot.origin.angle);
    const float dy = std::sin(shot.origin.angle);
    int32_t first = -1;
    *meets = until;
    for (int32_t i = 0; i < 2; ++i) {
        if (!Alive(i) || i + 1 == spared) {
            continue;
        }
        const float px = players[i].pose.x - shot.origin.x;
        const float py = players[i].pose.y - shot.origin.y;
        const float along = std::fmin(std::fmax(px * dx + py * dy, shot.distance), until);
        const float ex = px - along * dx;
        const float ey = py - along * dy;
        if (ex * ex + ey * ey < HIT_RADIUS * HIT_RADIUS && (first < 0 || along < *meets)) {
            first = i;
            *meets = along;
        }
    }
    return first;
}

void Free(int32_t slot)
{
    ProjectileSlot(slot) = Projectile{};
    struck[slot] = false;
}

void Explode(int32_t slot, int32_t directHit)
{
    struck[slot] = true;
    const Projectile rocket = ProjectileSlot(slot);  // a won match frees the slot on the way
    const WorldPosition at = ProjectilePosition(rocket);
    // Every distance is taken before anyone is hurt, so the order of the players does not count.
    int32_t damages[2];
    for (int32_t i = 0; i < 2; ++i) {
        damages[i] =
            i == directHit ? Damage(WEAPON_ROCKET) : SplashDamage(DistanceTo(players[i], at));
    }
    PlayRocketHitSound();
    bool hurt = false;
    for (int32_t i = 0; i < 2; ++i) {
        if (Alive(i) && damages[i] > 0) {
            hurt = true;
            HurtPlayer(i + 1, damages[i], rocket.owner);
        }
    }
    if (hurt) {
        PlayHitSound();
    }
}

void StepRocket(int32_t slot, uint32_t milliseconds)
{
    Projectile &rocket = ProjectileSlot(slot);
    if (struck[slot]) {
        if (AdvanceExplosion(milliseconds)) {
            Free(slot);
        }
        return;
    }
    const float flight = FreeFlight(rocket);
    const float next = std::fmin(rocket.distance + float(milliseconds) * ROCKET_SPEED, flight);
    float meets = 0.0f;
    const int32_t hit = PlayerAlong(rocket, next, 0, &meets);
    if (hit >= 0) {
        rocket.distance = meets;
        Explode(slot, hit);
        return;
    }
    if (rocket.distance >= flight) {
        rocket.distance = flight;  // against the brick's face
        Explode(slot, -1);
        return;
    }
    rocket.distance = next;
}

void StepPlasma(int32_t slot, uint32_t milliseconds)
{
    Projectile &ball = ProjectileSlot(slot);
    const float flight = FreeFlight(ball);
    const float next = std::fmin(ball.distance + float(milliseconds) * PLASMA_SPEED, flight);
    float meets = 0.0f;
    const int32_t hit = PlayerAlong(ball, next, ball.owner, &meets);
    if (hit >= 0) {
        const int32_t owner = ball.owner;
        Free(slot);
        PlayHitSound();
        HurtPlayer(hit + 1, Damage(WEAPON_PLASMA), owner);
        return;
    }
    if (ball.distance >= flight) {
        Free(slot);
        return;
    }
    ball.distance = next;
}

// The beam ends at the first brick; of the players it passes before that, other than its
// shooter, the one it reaches first is hit.
void Strike(int32_t slot)
{
    struck[slot] = true;
    Projectile &beam = ProjectileSlot(slot);
    const float length =
        DistanceToSolid(beam.origin.x, beam.origin.y, beam.origin.angle, RAIL_LENGTH);
    beam.distance = std::fmax(length, BEAM_START);
    const float c = std::cos(beam.origin.angle);
    const float s = std::sin(beam.origin.angle);
    int32_t hit = -1;
    float nearest = length;
    for (int32_t i = 0; i < 2; ++i) {
        if (!Alive(i) || i + 1 == beam.owner) {
            continue;
        }
        const float dx = players[i].pose.x - beam.origin.x;
        const float dy = players[i].pose.y - beam.origin.y;
        const float along = dx * c + dy * s;
        const float across = std::fabs(dx * s - dy * c);
        if (along <= 0.0f || across >= HIT_RADIUS) {
            continue;
        }
        const float entry = along - std::sqrt(HIT_RADIUS * HIT_RADIUS - across * across);
        if (entry < nearest) {
            nearest = entry;
            hit = i;
        }
    }
    if (hit >= 0) {
        PlayHitSound();
        HurtPlayer(hit + 1, Damage(WEAPON_RAIL), beam.owner);
    }
}

void StepRail(int32_t slot, uint32_t milliseconds)
{
    if (!struck[slot]) {
        Strike(slot);
    }
    Projectile &beam = ProjectileSlot(slot);
    if (beam.type == 0) {
        return;  // the hit won the match
    }
    if (beam.life <= 0.0f) {
        Free(slot);
        return;
    }
    FadeRailBeam(beam, milliseconds);
}
}  // namespace

void AdvanceShotsInMatch(uint32_t milliseconds)
{
    for (int32_t slot = 0; slot < PROJECTILE_SLOTS; ++slot) {
        switch (ProjectileSlot(slot).type) {
        case WEAPON_ROCKET:
            StepRocket(slot, milliseconds);
            break;
        case WEAPON_PLASMA:
            StepPlasma(slot, milliseconds);
            break;
        case WEAPON_RAIL:
            StepRail(slot, milliseconds);
            break;
        default:
            break;
        }
    }
}

void DrawShotsInMatch()
{
    for (int32_t slot = 0; slot < PROJECTILE_SLOTS; ++slot) {
        const Projectile &shot = ProjectileSlot(slot);
        if (shot.type == WEAPON_ROCKET && struck[slot]) {
            DrawExplosionAt(ProjectilePosition(shot));
        } else if (shot.type != 0) {
            DrawShot(shot);
        }
    }
}

void ClearShotsInMatch()
{
    for (int32_t slot = 0; slot < PROJECTILE_SLOTS; ++slot) {
        Free(slot);
    }
}

int32_t SplashDamage(float distance)
{
    if (!(distance < SPLASH_REACH)) {
        return 0;
    }
    const float share = 1.0f - std::fmax(distance, 0.0f) / SPLASH_REACH;
    return int32_t(std::lround(float(SPLASH_DAMAGE) * share));
}

void SaveShotsStruck(bool struckSlots[])
{
    for (int32_t slot = 0; slot < PROJECTILE_SLOTS; ++slot) {
        struckSlots[slot] = struck[slot];
    }
}

void RestoreShotsStruck(const bool struckSlots[])
{
    for (int32_t slot = 0; slot < PROJECTILE_SLOTS; ++slot) {
        struck[slot] = struckSlots[slot];
    }
}
