#include "stage/Application.h"

#include <exception>
#include <memory>

#include "stage/DibStage.h"

namespace quellmoor {

int RunStageProgram(RDibStage& stage) {
    try {
        std::unique_ptr<std::istream> content = stage.OpenContent();
        stage.AddComponentStream(content.get());
    } catch (const RException& e) {
        stage.ReportException(e.GetMessage());
    } catch (const std::exception& e) {
        stage.ReportException(e.what());
    }
    if (stage.IsQuitting()) return 0;
    if (!stage.GetOwnWindow()) return 1;
    stage.Run();
    return 0;
}

}  // namespace quellmoor
