Option Explicit
' Downloads a file, trying again a few times when the server does not answer.
Const ATTEMPTS = 3
Dim http, attempt, saved, stream

Set http = CreateObject("MSXML2.ServerXMLHTTP.6.0")
saved = False
attempt = 1
While attempt <= ATTEMPTS And Not saved
    On Error Resume Next
    http.Open "GET", "http://example.com/report.csv", False
    http.send
    If Err.Number = 0 And http.status = 200 Then
        Set stream = CreateObject("ADODB.Stream")
        With stream
            .Type = 1
            .Open
            .Write http.responseBody
            .SaveToFile "report.csv", _
                        2
            .Close
        End With
        saved = True
    End If
    On Error GoTo 0
    attempt = attempt + 1
Wend
WScript.Echo IIf_(saved, "saved", "gave up after " & ATTEMPTS & " attempts")

Function IIf_(condition, whenTrue, whenFalse)
    If condition Then IIf_ = whenTrue Else IIf_ = whenFalse
End Function
