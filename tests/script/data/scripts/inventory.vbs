' inventory.vbs - ハードウェアとソフトウェアの一覧を CSV に書き出す
Option Explicit
On Error Resume Next

Const wbemFlagReturnImmediately = &h10
Const wbemFlagForwardOnly = &h20
Const ForWriting = 2

Dim strComputer, objWMIService, colItems, objItem
Dim fso, csv, strLine

strComputer = "."
If WScript.Arguments.Count > 0 Then strComputer = WScript.Arguments(0)

Set objWMIService = GetObject("winmgmts:{impersonationLevel=impersonate}!\\" & _
    strComputer & "\root\cimv2")
If Err.Number <> 0 Then
    WScript.Echo "接続できません: " & strComputer & " (" & Err.Description & ")"
    WScript.Quit 1
End If
On Error GoTo 0

Set fso = CreateObject("Scripting.FileSystemObject")
Set csv = fso.OpenTextFile("inventory_" & strComputer & ".csv", ForWriting, True)
csv.WriteLine "Kind,Name,Value"

Set colItems = objWMIService.ExecQuery("SELECT * FROM Win32_Processor", "WQL", _
    wbemFlagReturnImmediately + wbemFlagForwardOnly)
For Each objItem In colItems
    csv.WriteLine Quote("CPU") & "," & Quote(objItem.Name) & "," & objItem.MaxClockSpeed
Next

Set colItems = objWMIService.ExecQuery("SELECT * FROM Win32_LogicalDisk WHERE DriveType = 3")
For Each objItem In colItems
    If IsNull(objItem.Size) Then
        strLine = Quote("Disk") & "," & Quote(objItem.DeviceID) & ",unknown"
    ElseIf objItem.Size > 0 Then
        strLine = Quote("Disk") & "," & Quote(objItem.DeviceID) & "," & _
                  FormatNumber(objItem.FreeSpace / objItem.Size * 100, 1) & "%"
    Else
        strLine = Quote("Disk") & "," & Quote(objItem.DeviceID) & ",0"
    End If
    csv.WriteLine strLine
Next

Set colItems = objWMIService.ExecQuery("SELECT * FROM Win32_Product")
For Each objItem In colItems
    With objItem
        If Len(.Name) > 0 Then csv.WriteLine Quote("App") & "," & Quote(.Name) & "," & Quote(.Version)
    End With
Next

csv.Close
WScript.Echo "完了しました。"

' Doubles the quotes inside a value, as CSV wants them: "It's ""quoted"""
Function Quote(value)
    Quote = """" & Replace(value & "", """", """""") & """"
End Function
