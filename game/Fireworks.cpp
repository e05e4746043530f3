#include "game/Fireworks.h"

#include "app/Color.h"
#include "app/Math.h"
#include "app/ObjectManager.h"
#include "app/Random.h"
#include "app/Sound.h"
#include "game/Anim_Sprite.h"
#include "game/GameTypes.h"

int32_t Fireworks::Burst(ObjectManager& particles, Sprite* spark, Sound* sound, float x, float y, int32_t range,
                         int32_t base)
{
    if (x == -1.0f)
        x = theRandom->GetFloatScaled(float(kScreenWidth));
    if (y == -1.0f)
        y = theRandom->GetFloatScaled(float(kScreenHeight));
    float step = 3.0f + theRandom->GetFloatScaled(5.0f);
    float angle = theRandom->GetFloatScaled(360.0f);
    Color color;
    color.FromPaletteIndex(theRandom->Get(6));
    color.Brighten(0.5f);
    for (float covered = 0.0f; covered <= 360.0f; covered += step, angle += step) {
        Anim_Sprite* particle = new Anim_Sprite();
        particle->sprite = spark;
        particle->rotation = angle;
        particle->fade = 3.0f + theRandom->GetFloatScaled(0.25f);
        particle->fadeChange = -0.02f;
        float speed = 1.0f + theRandom->GetFloatScaled(0.75f, true);
        Point direction;
        Math::AngleToVector(angle, direction);
        particle->vx = direction.x * speed;
        particle->vy = direction.y * speed;
        particle->x = x + particle->vx * 40.0f;
        particle->y = y + particle->vy * 40.0f;
        particle->r = color.r;
        particle->g = color.g;
        particle->b = color.b;
        particle->a = color.a;
        particle->scale = 0.1f;
        particle->scaleChange = 0.005f;
        particle->vx *= 2.0f;
        particle->vy *= 2.0f;
        particle->scaleChange *= 2.0f;
        particle->fadeChange *= 2.0f;
        particles.Add(particle);
    }
    int32_t ticks = theRandom->Get(range) + base;
    float pitch = 1.0f + theRandom->GetFloatScaled(0.1f);
    if (sound)
        sound->PlayPitched(pitch, 1.0f);
    return ticks;
}
