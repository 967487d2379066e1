# GUI-free sources of ai/, added to vst_core.
target_sources(vst_core PRIVATE
    ${CMAKE_SOURCE_DIR}/ai/AiClientHolder.cpp
    ${CMAKE_SOURCE_DIR}/ai/AiEdit.cpp
    ${CMAKE_SOURCE_DIR}/ai/AiKeySource.cpp
    ${CMAKE_SOURCE_DIR}/ai/ApiKeyStore.cpp
    ${CMAKE_SOURCE_DIR}/ai/ApiKeyText.cpp
    ${CMAKE_SOURCE_DIR}/ai/HttpTransport.cpp
    ${CMAKE_SOURCE_DIR}/ai/ImageBytes.cpp
    ${CMAKE_SOURCE_DIR}/ai/JobPolling.cpp
    ${CMAKE_SOURCE_DIR}/ai/JsonRead.cpp
    ${CMAKE_SOURCE_DIR}/ai/KeyringKeyStore.cpp
    ${CMAKE_SOURCE_DIR}/ai/MultipartForm.cpp
    ${CMAKE_SOURCE_DIR}/ai/ParamChecks.cpp
    ${CMAKE_SOURCE_DIR}/ai/RequestPreparation.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilityAI.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilityAI.API.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilityAI.Async.Support.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilityAI.Common.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilityAI.Errors.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilityAI.StableImage.Edit.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilityAI.StableImage.Results.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilityAI.StableImage.Upscale.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilityAI.Types.cpp
    ${CMAKE_SOURCE_DIR}/ai/StabilitySender.cpp
)
target_link_libraries(vst_core PRIVATE CURL::libcurl PkgConfig::SECRET)
