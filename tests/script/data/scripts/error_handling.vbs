Option Explicit
' Tries each step in turn and reports the ones that failed, with their error numbers.
Dim steps, index, failures
steps = Array("CreateFolder", "WriteFile", "DeleteFile")
failures = 0
For index = LBound(steps) To UBound(steps)
    If Not RunStep(steps(index)) Then failures = failures + 1
Next
If failures > 0 Then
    WScript.Echo failures & " step(s) failed"
    WScript.Quit 1
End If

Function RunStep(ByVal name)
    On Error Resume Next
    Select Case name
        Case "CreateFolder"
            Err.Raise vbObjectError + 1, "RunStep", "no folder"
        Case "WriteFile", "DeleteFile"
            Dim x
            x = 1 / 1
        Case Else
            Err.Raise 5
    End Select
    RunStep = (Err.Number = 0)
    If Not RunStep Then
        WScript.Echo name & ": " & Err.Number & " " & Err.Description
    End If
    Err.Clear
End Function
