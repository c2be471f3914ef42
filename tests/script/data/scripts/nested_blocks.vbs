Option Explicit

Sub ProcessQueue(queue)
    Dim item, attempts, done
    For Each item In queue
        attempts = 0
        done = False
        Do
            attempts = attempts + 1
            Select Case TryProcess(item)
                Case 0
                    done = True
                Case 1
                    If attempts >= 3 Then
                        WScript.Echo "giving up on " & item
                        done = True
                    Else
                        WScript.Sleep 100 * attempts
                    End If
                Case Else
                    With CreateObject("WScript.Shell")
                        .LogEvent 1, "failed: " & item
                    End With
                    Exit Do
            End Select
        Loop While Not done
    Next
End Sub

Function TryProcess(item)
    If item = "" Then
        TryProcess = 2
    ElseIf Left(item, 1) = "#" Then
        TryProcess = 1
    Else
        TryProcess = 0
    End If
End Function

Sub Main()
    Dim queue(2)
    queue(0) = "alpha"
    queue(1) = "#beta"
    queue(2) = ""
    ProcessQueue queue
    If UBound(queue) > 1 Then
        WScript.Echo "many"
    Else If UBound(queue) = 1 Then
        WScript.Echo "two"
    Else
        WScript.Echo "one"
    End If
    End If
End Sub

Main
