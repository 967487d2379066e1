#include "app/ui/MenuTable.h"

#include <QStringList>

namespace vst::app {

namespace {

// One row per line: ">" marks an item, ">>" an item of the submenu above; "-" a separator.
// Fields: caption | action | shortcut. Titles carry their category after "|".
const char* const kMenu = R"(File|File
>New...|ActionNew|Ctrl+N
>Open...|ActionOpen|Ctrl+O
>Open Recent|ActionOpenRecent|
>Open and Place...|ActionOpenAndPlace|Ctrl+Alt+O
>Graphic Library...|ActionGraphicLibrary|
>-
>Save|ActionSave|Ctrl+S
>Save As...|ActionSaveAs|
>Save All to Folder...|ActionSaveAllToFolder|Ctrl+Alt+S
>-
>Export As...|ActionExportAs|Ctrl+E
>Export All to Folder...|ActionExportAllToFolder|Ctrl+Alt+E
>-
>Close|ActionClose|
>Close All|ActionCloseAll|
>-
>Set File Associations...|ActionSetFileAssociations|
>-
>Printer Setup...|ActionPrinterSetup|
>Printer Preview...|ActionPrinterPreview|
>-
>Exit|ActionExit|Alt+F4
Edit|Edit
>Undo|ActionUndo|Ctrl+Z
>Redo|ActionRedo|Ctrl+Y
>Clear History|ActionClearHistory|
>-
>Cut|ActionCut|Ctrl+X
>Copy|ActionCopy|Ctrl+C
>Paste|ActionPaste|Ctrl+V
>Clear|ActionClear|Del
>-
>Select All|ActionSelectAll|Ctrl+A
>Invert Selection|ActionInvertSelection|
>Detect Object|ActionDetectObject|
>Deselect|ActionDeselect|Esc
>-
>Crop To Selection|ActionCropToSelection|
>-
>Blur Outside Selection|ActionBlurOutsideSelection0|
>>Low|ActionBlurOutsideSelection_Low|
>>Medium|ActionBlurOutsideSelection_Medium|
>>High|ActionBlurOutsideSelection_High|
>Blend...|ActionBlend|
>Fill...|ActionFill|
>Border...|ActionBorder|
Image|Image
>Mode|ActionMode0|
>>Gray-Scale|ActionModeGrayScale8|
>>RGB 24bit|ActionModeRGB24|
>-
>Image Size...|ActionImageSize|
>Canvas Size...|ActionCanvasSize|
>Transform|ActionImageTransform|
>>Vertical Flip|ActionVerticalFlip|
>>Horizontal Flip|ActionHorizontalFlip|
>>-
>>Rotate Right|ActionRotate90|
>>Rotate Left|ActionRotate90Off|
>Apply Preset|ActionPreset|
>-
>Duplicate|ActionImageDuplicate|
>-
>Convert Background To Layer|ActionConvertBackgroundToLayer|
>Merge All|ActionMergeAll|
>-
>Reveal All|ActionRevealAll|
>Crop To Selected Layers|ActionCropToSelected|
>-
>Show Channels...|ActionShowChannels|
>Show Histogram...|ActionHistogram|
>Compare Images...|ActionCompareImages|
>-
>General EXIF/IPTC/Info|ActionGeneralEXIFIPTCInfo|
>Hidden Text|ActionHiddenText|
>Encrypt|ActionEncrypt0|
>>Encrypt...|ActionEncrypt|
>>Decrypt...|ActionDecrypt|
Layer|Layers
>New|ActionLayerNew0|
>>Empty Layer|ActionNewLayer|
>>Layer Via Copy|ActionLayerViaCopy|
>>Layer Via Cut|ActionLayerViaCut|
>Duplicate|ActionLayerDuplicate|
>Duplicate Into|ActionLayerDuplicateInto|
>Remove|ImageEnViewLayersRemoveCurrent1|
>-
>Transform|ActionLayerTransform0|
>>Horizontal Flip|ActionLayerTransform_FlipHorizontally|
>>Vertical Flip|ActionLayerTransform_FlipVertically|
>>-
>>Rotate Right|ActionLayerTransform_Rotate90|
>>Rotate Left|ActionLayerTransform_Rotate90Back|
>>Rotate...|ActionLayerTransform_RotateSetAngle|
>>-
>>Resize...|ActionLayerTransform_Resize|
>>Crop...|ActionLayerTransform_Crop|
>>Crop Transparent Border|ActionLayerTransform_CropTransparentBorder|
>>Round Corners...|ActionLayerTransform_RoundCorners|
>>Warp...|ActionLayerTransform_Warp|
>>Perspective...|ActionLayerTransform_Perspective|
>Effects...|ActionEffects|
>-
>Add Mask|ActionLayerMaskAdd0|
>>Empty Mask|ActionLayerMaskAddEmpty|
>>Gradient Mask|ActionLayerMaskAddGradient|
>>Shape Mask|ActionLayerMaskAddShape|
>>Text Mask|ActionLayerMaskAddText|
>>Mask from Image File...|ActionLayerMaskAddFromFile|
>Set This Layer As Mask|ActionLayerMaskSetThisLayerAsMask|
>Unset This Mask|ActionLayerUnsetThisMask|
>-
>Convert to Image|IELayerConvertToImageLayer1|
>Convert to Polyline|ActionLayerConvertToPolyline|
>-
>Group Layers|ImageEnViewLayersGroup1|
>Ungroup Layers|ImageEnViewLayersUngroup1|
>Merge Layers|ImageEnViewLayersMerge1|
>-
>Arrange|ActionLayerArrange0|
>>Bring to Front|ImageEnViewLayersMoveBringToFront1|
>>Bring Forward|ImageEnViewLayersMoveBringForward1|
>>Send Backward|ImageEnViewLayersMoveSendBackward1|
>>Send to Back|ImageEnViewLayersMoveSendToBack1|
>Change Position...|ActionLayerChangePosition|
>-
>Select All|ImageEnViewLayersSelectAll1|
>Deselect All|ImageEnViewLayersDeselectAll1|
Colors|Colors
>All Adjustments...|ActionAllAdjustments|Ctrl+Q
>-
>Exposure|ActionAdjustBrightnessContrastExposure|
>Saturation|ActionAdjustTempTintSat|
>Color Balance...|ActionAdjustColorBalance|
>Color Change (Range)...|ActionAdjustColorChange_Range|
>Color Change (Pick)...|ActionAdjustColorChange_Pick|
>Color Curve...|ActionAdjustColorCurve|
>Levels...|ActionAdjustLevels|
>Equalization...|ActionAdjustEqualization|
>Gray-Scale Balance...|ActionAdjustGrayScaleBalance|
>Colorization...|ActionAdjustColorization|
>Auto-enhancement...|ActionAdjustAutoenhance|
>-
>Swap Colors|ActionSwapColors|
>>RGB->BGR|ActionRGB_BGR|
>>RGB->BRG|ActionRGB_BRG|
>>RGB->GBR|ActionRGB_GBR|
>>RGB->GRB|ActionRGB_GRB|
>>RGB->RBG|ActionRGB_RBG|
>Negative|ActionNegative|
>Black and White...|ActionConvertBW|
>-
>Remove Red Eyes|ActionRemoveRedEyes|
Filters|Filters
>All Filters...|ActionEffects_Browser|Ctrl+B
>Custom Filter...|ActionFilterCustomFilter|
>Third-Party|ActionFilterThirdParty|
>-
>Lens Corrections...|ActionLensCorrection|
>Denoise / Smooth...|ActionFiltersBlurSmoothDenoise|
>Sharpen...|ActionFilterSharpen|
>Drawing...|ActionFilterDrawing|
>Shadow...|ActionFilterShadow|
>Distortion...|ActionFilterDistortion|
>Pixelization...|ActionFilterPixelize|
>Dilation / Erosion...|ActionFilterDilateErode|
>Morphing...|ActionFilterMorphing|
>Bump Map...|ActionFilterBumpMap|
>Gradient Map...|ActionFilterGradientMap|
>Texture...|ActionFilterTexture|
>Frame...|ActionFilterFrames|
>Decoration...|ActionFilterDecoration|
Generative AI|AI
>Apply Preset|ActionAI_ApplyPreset0|
>-
>Erase selected area|ActionAI_Erase|
>Replace selected area...|ActionAI_Replace|
>Find and replace object...|ActionAI_ReplaceByDescription|
>Find and recolor object...|ActionAI_Recolor|
>Remove the background|ActionAI_RemoveBackground|
>Replace background...|ActionAI_ReplaceBackground|
>Extend in any direction...|ActionAI_Outpaint|
>Upscale...|ActionAI_Upscale|
>-
>API Key...|ActionAI_APIKey|
View|View
>10%|ActionView_10|
>25%|ActionView_25|
>50%|ActionView_50|
>75%|ActionView_75|
>100%|ActionView_100|
>200%|ActionView_200|
>500%|ActionView_500|
>-
>Zoom to Fit|ActionZoomToFit|Ctrl+F
>Full Screen|ActionFullScreen|F11
>-
>Zoom Filter|ActionZoomFilter|
>>None|ActionZoomFilter_None|
>>Triangle|ActionZoomFilter_Triangle|
>>Hermite|ActionZoomFilter_Hermite|
>>Bell|ActionZoomFilter_Bell|
>>B-Spline|ActionZoomFilter_BSpline|
>>Lanczos 3|ActionZoomFilter_Lanczos3|
>>Mitchell|ActionZoomFilter_Mitchell|
>>Nearest Neighbor|ActionZoomFilter_NearestNeighbor|
>>Linear|ActionZoomFilter_Linear|
>>Fast Linear|ActionZoomFilter_FastLinear|
>>Bilinear|ActionZoomFilter_Bilinear|
>>Bicubic|ActionZoomFilter_Bicubic|
>>Project BW|ActionZoomFilter_ProjectBW|
>>Project WB|ActionZoomFilter_ProjectWB|
>>Nearest Neighbor (WIC)|ActionZoomFilter_NearestNeighborWIC|
>>Bicubic (WIC)|ActionZoomFilter_BicubicWIC|
>>Bilinear (WIC)|ActionZoomFilter_BilinearWIC|
>>Fant (WIC)|ActionZoomFilter_FantWIC|
>>High Quality Bicubic (WIC)|ActionZoomFilter_HighQualityBicubicWIC|
>-
>Rulers|ActionRulers|
>Units|ActionRulersUnits0|
>-
>Always on Top|ActionAlwaysOnTop|
>-
>Language|ActionLanguage0|
>>-
>>Add Language...|ActionAddLanguage|
Help|Help
>User Guide|ActionOnlineManual|F1
>-
>Check Updates|ActionCheckForUpdates|
>-
>Contact Us|ActionContactUs|
>Visit Website|ActionVisitWebsite|
>-
>Donate|ActionDonate|
>Help Us Translate...|ActionHelpUsTranslate|
>-
>About...|ActionAbout|)";

std::vector<MenuEntry> parseMenu() {
    std::vector<MenuEntry> rows;
    QString category;
    for (QString line : QString::fromUtf8(kMenu).split('\n')) {
        int depth = 0;
        while (line.startsWith('>')) {
            ++depth;
            line.remove(0, 1);
        }
        const QStringList f = line.split('|');
        if (depth == 0) {
            category = f.value(1);
            rows.push_back(MenuEntry { 0, f.value(0), {}, {}, category });
        } else if (line == "-") {
            rows.push_back(MenuEntry { depth, {}, {}, {}, category });
        } else {
            rows.push_back(MenuEntry { depth, f.value(0), f.value(1), f.value(2), category });
        }
    }
    return rows;
}

} // namespace

const std::vector<MenuEntry>& menuTable() {
    static const std::vector<MenuEntry> rows = parseMenu();
    return rows;
}

QString captionKey(const QString& caption) {
    return caption.endsWith("...") ? caption.chopped(3) : caption;
}

bool isRuntimeSubmenu(const QString& action) {
    static const QStringList kRuntime { "ActionOpenRecent", "ActionLayerDuplicateInto",
        "ActionFilterThirdParty", "ActionPreset", "ActionAI_ApplyPreset0", "ActionRulersUnits0",
        "ActionLanguage0" };
    return kRuntime.contains(action);
}

} // namespace vst::app
