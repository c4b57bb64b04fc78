// Names of the engine's events and of the objects the show looks up.
#pragma once

namespace quellmoor::names {

inline constexpr const char* OnBeforeEverything = "OnBeforeEverything";
inline constexpr const char* OnSetup = "OnSetup";
inline constexpr const char* OnCreated = "OnCreated";
inline constexpr const char* OnBeforeShow = "OnBeforeShow";
inline constexpr const char* OnStarted = "OnStarted";
inline constexpr const char* OnExit = "OnExit";
inline constexpr const char* OnActivate = "OnActivate";
inline constexpr const char* OnMouseMove = "OnMouseMove";
inline constexpr const char* OnMouseDown = "OnMouseDown";
inline constexpr const char* OnMouseUp = "OnMouseUp";
inline constexpr const char* OnKeyDown = "OnKeyDown";
inline constexpr const char* OnKeyUp = "OnKeyUp";
inline constexpr const char* OnException = "OnException";
inline constexpr const char* OnTimer = "OnTimer";
inline constexpr const char* OnMove = "OnMove";
inline constexpr const char* OnFinishSequence = "OnFinishSequence";
inline constexpr const char* OnEnterCol = "OnEnterCol";
inline constexpr const char* OnReachEnd = "OnReachEnd";
inline constexpr const char* OnAboutBox = "OnAboutBox";
inline constexpr const char* OnRunSaver = "OnRunSaver";

inline constexpr const char* StageObject = "Stage";
inline constexpr const char* ShipObject = "Enterprise";
inline constexpr const char* InsideObject = "Inside";
inline constexpr const char* MascotObject = "Vexmon";

}  // namespace quellmoor::names
