#pragma once

#include "core/SearchEngines.h"

#include <QStringList>

#include <memory>
#include <vector>

namespace tarnwick::test {

// Engines whose answers the test scripts. The session owns them; `alive` tells the test whether
// one still exists before it is poked.
struct ScriptedContentEngine : ContentHitEngine {
    QStringList searches;
    int stops = 0;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    ~ScriptedContentEngine() override { *alive = false; }
    void search(const QString& text) override {
        searches.append(text);
        if (text.isEmpty()) {
            stop();
            if (onResults) onResults({});
        }
    }
    void stop() override { ++stops; }
};

struct ScriptedFullEngine : FullSearchEngine {
    QStringList searches;
    int countsStarted = 0;
    int stops = 0;
    std::shared_ptr<bool> alive = std::make_shared<bool>(true);
    ~ScriptedFullEngine() override { *alive = false; }
    void startCount() override { ++countsStarted; }
    void search(const QString& text) override {
        searches.append(text);
        if (text.isEmpty()) {
            stop();
            if (onResults) onResults({});
        }
    }
    void stop() override { ++stops; }
};

struct ScriptedEngineFactory : SearchEngineFactory {
    std::vector<ScriptedContentEngine*> contentEngines;
    std::vector<ScriptedFullEngine*> fullEngines;  // detectors and index-only engines, in order
    std::vector<std::shared_ptr<bool>> fullAlive;

    std::unique_ptr<ContentHitEngine> createContentEngine(const QByteArray&) override {
        auto engine = std::make_unique<ScriptedContentEngine>();
        contentEngines.push_back(engine.get());
        return engine;
    }
    std::unique_ptr<FullSearchEngine> createFullEngine(const QByteArray&) override {
        auto engine = std::make_unique<ScriptedFullEngine>();
        fullEngines.push_back(engine.get());
        fullAlive.push_back(engine->alive);
        return engine;
    }
    ScriptedFullEngine* detector() const {
        return fullEngines.empty() ? nullptr : fullEngines.back();
    }
    ScriptedContentEngine* content() const {
        return contentEngines.empty() ? nullptr : contentEngines.back();
    }
};

}  // namespace tarnwick::test
