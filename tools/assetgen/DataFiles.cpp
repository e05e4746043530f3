#include "tools/assetgen/DataFiles.h"

#include "tools/assetgen/FontWriter.h"

namespace AssetGen {

void DataFiles::Write(AssetWriter& out)
{
    // Cards known to draw the 3D path badly are sent to the software
    // renderer; old cards start in 16-bit colour.
    out.SaveText("data\\devices.xml", "<CARD name=\"Generic Software Display Adapter\">\r\n"
                                      "  <FORCESAFEMODE>true</FORCESAFEMODE>\r\n"
                                      "</CARD>\r\n"
                                      "<CARD name=\"Virtual Framebuffer\">\r\n"
                                      "  <FORCESAFEMODE>true</FORCESAFEMODE>\r\n"
                                      "  <DEFAULTFULLSCREEN>false</DEFAULTFULLSCREEN>\r\n"
                                      "</CARD>\r\n"
                                      "<CARD name=\"Legacy 3D Accelerator\">\r\n"
                                      "  <DEFAULTCOLORDEPTH>16</DEFAULTCOLORDEPTH>\r\n"
                                      "  <DEFAULTRESOLUTION>800x600</DEFAULTRESOLUTION>\r\n"
                                      "  <FORCESAFEMODE dxversion=\"7.0\">true</FORCESAFEMODE>\r\n"
                                      "</CARD>\r\n"
                                      "<CARD name=\"Modern 3D Accelerator\">\r\n"
                                      "  <DEFAULTCOLORDEPTH>32</DEFAULTCOLORDEPTH>\r\n"
                                      "  <FORCEHWMODE>true</FORCEHWMODE>\r\n"
                                      "</CARD>\r\n");

    FontWriter large(out, Typeface::Heavy, 23);
    large.WriteTagForm("Fonts\\ArialBlack23");
    FontWriter small(out, Typeface::Heavy, 16);
    small.WriteBinaryForm("Fonts\\ArialBlack16Bold");
    // The third form, for screens that want a font of their own.
    FontWriter spare(out, Typeface::Condensed, 18);
    spare.WriteScriptForm("Fonts\\Condensed18");
    // Running text at a size a small window holds (the crash window).
    FontWriter text(out, Typeface::Regular, 13);
    text.WriteTagForm("Fonts\\Regular13");
}

} // namespace AssetGen
